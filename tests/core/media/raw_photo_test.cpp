// Camera RAW photos as Debian's image library handles them (LibRaw inside): the file sent is
// developed from the sensor data in full, the editor shows the camera's embedded preview, the
// date and camera come from the file's tags, and a cut file is a named failure.
#include <gtest/gtest.h>

#include <chrono>
#include <future>

#include "item_fixtures.h"
#include "media/make_image.h"
#include "media/prepared_cache.h"
#include "model/exif_reader.h"
#include "support/dng_writer.h"

namespace zerva {
namespace {

class RawPhotoTest : public ::testing::Test {
 protected:
  // A 320 x 240 mosaic, light above and dark below, with a 160 x 120 blue preview.
  std::string Dng(const std::string& name) {
    Bitmap preview(
        FreeImage_Allocate(160, 120, 24, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
    RGBQUAD blue{};
    blue.rgbBlue = 200;
    FreeImage_FillBackground(preview.get(), &blue, 0);
    test::DngPicture picture;
    picture.width = 320;
    picture.height = 240;
    picture.mosaic = test::LightOverDarkMosaic(320, 240);
    picture.previewJpeg = test::ReadWholeFile(test::SavedJpeg(preview.get(), dir_.File("p.jpg")));
    picture.previewWidth = 160;
    picture.previewHeight = 120;
    picture.make = "Camera";
    picture.model = "One";
    picture.dateTime = "2023:04:05 06:07:08";
    const std::string path = dir_.File(name);
    return test::WriteDng(path, picture) ? path : std::string();
  }

  // Prepares the item as an upload does, its tags read first.
  bool Prepare(CPhoto& item, MakeImageInputs* in) {
    ReadExif(item, 100, 1200, false, {});
    *in = test::UploadInputs(settings_, item.localPath, 1200);
    return MakeImageFiles(item, *in, settings_, nullptr, &error_);
  }

  test::TempDir dir_;
  PreparationSettings settings_ = test::TestSettings(dir_);
  std::string error_;
};

TEST_F(RawPhotoTest, SentFromTheFullDecodeShownFromThePreviewDatedFromItsTags) {
  const std::string dng = Dng("IMG_0001.DNG");
  ASSERT_FALSE(dng.empty());
  EXPECT_EQ(ImageFormatOfFile(dng), kFormatRaw);

  const Bitmap shown = LoadImageFile(dng, LoadPurpose::kPreview);
  ASSERT_NE(shown, nullptr);
  EXPECT_EQ(BitmapSize(shown.get()), (PixelSize{160, 120}));
  EXPECT_TRUE(test::Near(test::PixelAt(shown.get(), 80, 60), {0, 0, 200}));

  auto item = test::PhotoItem(dng, "IMG_0001.jpg");
  MakeImageInputs in;
  ASSERT_TRUE(Prepare(*item, &in)) << error_;
  EXPECT_TRUE(item->exifRead);
  EXPECT_EQ(item->DateTime, "2023-04-05 06:07:08");
  EXPECT_EQ(item->CameraMake, "Camera");
  EXPECT_EQ(item->CameraModel, "One");

  const Bitmap sent = LoadImageFile(in.imagePath, LoadPurpose::kPrepare);
  ASSERT_NE(sent, nullptr);
  EXPECT_EQ(ImageFormatOfFile(in.imagePath), kFormatJpeg);
  ASSERT_EQ(BitmapSize(sent.get()), (PixelSize{320, 240}));
  const test::Rgb top = test::PixelAt(sent.get(), 160, 40);
  const test::Rgb bottom = test::PixelAt(sent.get(), 160, 200);
  EXPECT_GT(top.g, 150);
  EXPECT_LT(bottom.g, 100);
  EXPECT_LT(top.b, 250) << "the preview's blue is not what is sent";
  EXPECT_EQ(test::FileImageSize(in.thumbPath), (PixelSize{100, 75}));
}

TEST_F(RawPhotoTest, ACutOrBrokenFileIsANamedFailureAndNothingHangs) {
  const std::string whole = test::ReadWholeFile(Dng("whole.dng"));
  ASSERT_FALSE(whole.empty());
  std::string noPreview = whole;
  noPreview[whole.find("\xFF\xD8\xFF")] = 'x';
  const std::pair<const char*, std::string> cases[] = {
      {"cut.dng", whole.substr(0, whole.size() * 2 / 3)},
      {"header.dng", whole.substr(0, 200)},
      {"nopreview.dng", noPreview.substr(0, noPreview.size() / 2)},
  };
  for (const auto& [name, content] : cases) {
    SCOPED_TRACE(name);
    const std::string path = dir_.Write(name, content);
    auto preparing = std::async(std::launch::async, [&, path = path] {
      auto item = test::PhotoItem(path, "x.jpg");
      item->imageFormat = kFormatRaw;
      MakeImageInputs in;
      return Prepare(*item, &in);
    });
    ASSERT_EQ(preparing.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    EXPECT_FALSE(preparing.get());
    EXPECT_NE(error_.find(path), std::string::npos) << error_;
    EXPECT_GT(error_.size(), path.size() + 13) << error_;
  }
}

}  // namespace
}  // namespace zerva
