// Frame size, bit rate and rotation of converted videos under the service's limits.
#include "media/video_targets.h"

#include <gtest/gtest.h>

#include <climits>

#include "app/trace.h"
#include "model/photo_video_params.h"

namespace zerva {
namespace {

const PhotoVideoParams kDefaults;
const int kArea = kDefaults.VideoMaxArea;

std::string NewestTrace() {
  const auto messages = RecentTraceMessages(1, true);
  return messages.empty() ? std::string() : messages[0];
}

TEST(ResizeVideo, SizesUnderTheDefaultArea) {
  struct Case {
    int width, height;
    double par;
    PixelSize expected;
  } cases[] = {
      {1920, 1080, 1.0, {736, 414}},     {1280, 720, 1.0, {736, 414}},
      {1080, 1920, 1.0, {414, 736}},     {640, 480, 1.0, {640, 480}},
      {720, 576, 16.0 / 15, {640, 480}}, {0, 0, 1.0, {640, 480}},
      {-4, 480, 1.0, {640, 480}},        {720, 576, 0.0, {608, 486}},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ResizeVideo(c.width, c.height, 640, c.par, kArea), c.expected)
        << c.width << "x" << c.height << " par " << c.par;
  }
}

TEST(ResizeVideo, OnlyChangedSizesAreLoggedAndExactAreasStay) {
  Trace(kTraceNotice, 0, "marker\n");
  EXPECT_EQ(ResizeVideo(640, 480, 640, 1.0, kArea), (PixelSize{640, 480}));
  EXPECT_EQ(ResizeVideo(75, 4096, 640, 1.0, kArea), (PixelSize{75, 4096})) << "odd side kept";
  EXPECT_EQ(ResizeVideo(253, 253, 640, 1.0, 253 * 253), (PixelSize{253, 253}));
  EXPECT_EQ(NewestTrace(), "marker\n");
  EXPECT_EQ(ResizeVideo(1920, 1080, 640, 1.0, kArea), (PixelSize{736, 414}));
  EXPECT_EQ(NewestTrace(), "ResizeVideo: (1920 x 1080, PAR 1.000000) => (736 x 414)\n");
  EXPECT_EQ(ResizeVideo(720, 576, 640, 16.0 / 15, kArea), (PixelSize{640, 480}));
  EXPECT_EQ(NewestTrace(), "ResizeVideo: (720 x 576, PAR 1.066667) => (640 x 480)\n");
}

TEST(ResizeVideo, RecordValuesFromOutsideGiveUsableSizes) {
  const int sides[] = {INT_MIN, -1, 0, 1, 3, 17, 4096, INT_MAX};
  const double ratios[] = {1.0, 0.0, 1e-9, 1e9, -2.0};
  for (int w : sides) {
    for (int h : sides) {
      for (double par : ratios) {
        const PixelSize size = ResizeVideo(w, h, 640, par, kArea);
        if (w <= 0 || h <= 0) continue;
        EXPECT_GE(size.width, 0) << w << "x" << h << " " << par;
        EXPECT_GE(size.height, 0) << w << "x" << h << " " << par;
      }
    }
  }
  EXPECT_EQ(ResizeVideo(0, 0, 0, 1.0, kArea), (PixelSize{0, 0}));
  EXPECT_EQ(ResizeVideo(-1, 0, 0, 1.0, kArea), (PixelSize{0, 0}));
  EXPECT_EQ(ResizeVideo(0, 0, -7, 1.0, kArea), (PixelSize{-8, -6}));
}

TEST(TargetVideoBitrate, ScalesWithTheAreaAndKeepsAThird) {
  const VideoLimits limits = VideoLimitsFor(kDefaults, false);
  EXPECT_EQ(TargetVideoBitrate(736, 414, limits), 556);
  // The full area gives the full rate but for the rounding of the two divisions.
  EXPECT_EQ(TargetVideoBitrate(640, 480, limits), 559);
  EXPECT_EQ(TargetVideoBitrate(0, 0, limits), 560);
  EXPECT_EQ(TargetVideoBitrate(-10, 20, limits), 560);
  EXPECT_EQ(TargetVideoBitrate(1, 1, limits), 186);
  EXPECT_EQ(TargetVideoBitrate(INT_MAX, INT_MAX, limits), INT_MAX);
  const VideoLimits vip = VideoLimitsFor(kDefaults, true);
  EXPECT_EQ(vip.bitrate, 650);
  EXPECT_EQ(vip.maxArea, kArea);
  EXPECT_EQ(TargetVideoBitrate(640, 480, vip), 649);
  EXPECT_EQ(TargetVideoBitrate(640, 480, VideoLimits{0, 500}), 500);
}

TEST(RotationFilter, AnglesFiltersAndSwappedSides) {
  EXPECT_EQ(RotationFilter(90), "-vf \"transpose=2\"");
  EXPECT_EQ(RotationFilter(180), "-vf \"vflip,hflip\"");
  EXPECT_EQ(RotationFilter(270), "-vf \"transpose=1\"");
  EXPECT_EQ(RotationFilter(-90), "-vf \"transpose=1\"");
  EXPECT_EQ(RotationFilter(450), "-vf \"transpose=2\"");
  EXPECT_EQ(RotationFilter(-450), "-vf \"transpose=1\"");
  EXPECT_EQ(RotationFilter(INT_MIN), "");
  for (int angle : {0, 360, 45, -180 + 1}) EXPECT_EQ(RotationFilter(angle), "") << angle;
  for (int angle : {90, 270, -90, 450, -450}) EXPECT_TRUE(RotationSwapsSides(angle)) << angle;
  for (int angle : {0, 180, -180, 45, 360}) EXPECT_FALSE(RotationSwapsSides(angle)) << angle;
}

TEST(RotationFilter, RotationCodesTurnClockwise) {
  // Code 1 is a quarter turn clockwise, which ffmpeg's transpose=1 does.
  EXPECT_EQ(RotationFilter(VideoRotationAngle(1)), "-vf \"transpose=1\"");
  EXPECT_EQ(RotationFilter(VideoRotationAngle(3)), "-vf \"transpose=2\"");
  EXPECT_EQ(RotationFilter(VideoRotationAngle(2)), "-vf \"vflip,hflip\"");
  EXPECT_EQ(VideoRotationAngle(0), 0);
  EXPECT_EQ(VideoRotationAngle(5), VideoRotationAngle(1)) << "flips are not applied to videos";
  EXPECT_EQ(VideoRotationAngle(-1), VideoRotationAngle(3));
}

}  // namespace
}  // namespace zerva
