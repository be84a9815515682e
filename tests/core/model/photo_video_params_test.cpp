#include "model/photo_video_params.h"

#include <gtest/gtest.h>

namespace zerva {
namespace {

std::string File(const std::string& inner) {
  return "<?xml version=\"1.0\"?><photoVideoParams>" + inner + "</photoVideoParams>";
}

TEST(PhotoVideoParams, DefaultsAndVipSelection) {
  const PhotoVideoParams p;
  EXPECT_EQ(p.PhotoResolution, 1200);
  EXPECT_EQ(p.PhotoResolutionVip, 1400);
  EXPECT_EQ(p.SizeThumb, 100);
  EXPECT_EQ(p.VideoMaxArea, 307200);
  EXPECT_EQ(p.VideoBitrateVip, 650);
  EXPECT_EQ(p.X264Settings.substr(0, 16), "-coder 1 -flags ");
  EXPECT_EQ(p.PhotoResolutionFor(false), 1200);
  EXPECT_EQ(p.PhotoResolutionFor(true), 1400);
  EXPECT_EQ(p.VideoQualityFor(true), 20);
  EXPECT_TRUE(VipValuesApply(true, true));
  EXPECT_FALSE(VipValuesApply(false, true));
  EXPECT_FALSE(VipValuesApply(true, false));
}

TEST(PhotoVideoParams, ValuesOutsideTheirRangeAreIgnored) {
  PhotoVideoParams p;
  ASSERT_TRUE(ApplyPhotoVideoParams(File("<VideoMaxArea>2000000</VideoMaxArea>"
                                         "<PhotoResolution>700</PhotoResolution>"
                                         "<PhotoResolutionVip>2401</PhotoResolutionVip>"
                                         "<SizeThumb>480</SizeThumb>"
                                         "<ThumbQuality>19</ThumbQuality>"
                                         "<VideoBitrate>abc</VideoBitrate>"
                                         "<VideoQuality>99999999999999999999</VideoQuality>"),
                                    &p));
  EXPECT_EQ(p.VideoMaxArea, 307200);
  EXPECT_EQ(p.PhotoResolution, 700);  // bounds are included
  EXPECT_EQ(p.PhotoResolutionVip, 1400);
  EXPECT_EQ(p.SizeThumb, 480);
  EXPECT_EQ(p.ThumbQuality, 85);
  EXPECT_EQ(p.VideoBitrate, 560);
  EXPECT_EQ(p.VideoQuality, 25);
}

TEST(PhotoVideoParams, MissingOrEmptyElementKeepsEverything) {
  PhotoVideoParams p;
  p.PhotoQuality = 70;
  EXPECT_FALSE(ApplyPhotoVideoParams("", &p));
  EXPECT_FALSE(ApplyPhotoVideoParams("<photoVideoParams></photoVideoParams>", &p));
  EXPECT_FALSE(ApplyPhotoVideoParams("<html>not found</html>", &p));
  EXPECT_EQ(p.PhotoQuality, 70);
  ASSERT_TRUE(
      ApplyPhotoVideoParams(File("<PhotoQuality></PhotoQuality><X264Settings></X264Settings>"
                                 "<VideoResolution>800</VideoResolution>"),
                            &p));
  EXPECT_EQ(p.PhotoQuality, 70);  // an empty element changes nothing
  EXPECT_EQ(p.VideoResolution, 800);
  EXPECT_FALSE(p.X264Settings.empty());
  ASSERT_TRUE(ApplyPhotoVideoParams(File("<X264Settings>-preset x</X264Settings>"), &p));
  EXPECT_EQ(p.X264Settings, "-preset x");
}

}  // namespace
}  // namespace zerva
