// The files an upload sends for a photo: use-original, re-encoding, HD images, rotation codes,
// watermarks, and what a failure leaves behind.
#include "media/make_image.h"

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "item_fixtures.h"
#include "media/prepared_cache.h"
#include "model/file_times.h"

namespace zerva {
namespace {

using test::FileBytes;
using test::FileImageSize;
using test::Near;
using test::PixelAt;
using test::Rgb;

class MakeImageTest : public ::testing::Test {
 protected:
  MakeImageInputs Inputs(const std::string& source, int sizeImage = 1200) {
    return test::UploadInputs(settings_, source, sizeImage);
  }
  bool Make(CPhoto& item, const MakeImageInputs& in) {
    error_.clear();
    progress_.clear();
    return MakeImageFiles(
        item, in, settings_, [this](double fraction) { progress_.push_back(fraction); }, &error_);
  }

  test::TempDir dir_;
  PreparationSettings settings_ = test::TestSettings(dir_);
  std::string error_;
  std::vector<double> progress_;
};

TEST_F(MakeImageTest, SmallOriginalOfAUserWhoMayIsSentUnchanged) {
  const std::string source = test::PhotoFile(dir_, "small.jpg", 1000, 800);
  auto item = test::PhotoItem(source, "p.jpg");
  MakeImageInputs in = Inputs(source);
  in.useOriginal = true;
  ASSERT_TRUE(Make(*item, in)) << error_;
  EXPECT_EQ(FileBytes(in.imagePath), FileBytes(source));
  EXPECT_EQ(item->width, 1000);
  EXPECT_EQ(item->height, 800);
  EXPECT_EQ(FileImageSize(in.thumbPath), (PixelSize{100, 80}));
  EXPECT_EQ(item->thumbWidth, 100);
  EXPECT_EQ(item->thumbHeight, 80);
  // Sizes of what is sent, the original's own size, and when it was taken.
  EXPECT_EQ(item->imageSize, FileSize(source));
  EXPECT_EQ(item->thumbSize, FileSize(in.thumbPath));
  EXPECT_EQ(item->fileSize, item->imageSize + item->thumbSize);
  EXPECT_EQ(item->fileSizeOriginal, FileSize(source));
  EXPECT_EQ(item->OriginalCode, FileModificationTime(source));
  EXPECT_EQ(progress_, (std::vector<double>{0.0, 0.1, 0.2, 0.4, 0.6, 0.8, 1.0}));
}

TEST_F(MakeImageTest, CancelStopsTheRunAtItsNextStepAndLeavesTheItemAsItWas) {
  const std::string source = test::PhotoFile(dir_, "large.jpg", 3000, 2000);
  auto item = test::PhotoItem(source, "p.jpg");
  const MakeImageInputs in = Inputs(source);
  std::atomic<bool> cancel{false};
  // The upload is stopped while the picture is being decoded and fitted.
  const bool made = MakeImageFiles(
      *item, in, settings_,
      [&](double fraction) {
        progress_.push_back(fraction);
        if (fraction >= 0.1) cancel = true;
      },
      &error_, &cancel);
  EXPECT_FALSE(made);
  EXPECT_EQ(error_, "cancelled by user");
  EXPECT_EQ(progress_, (std::vector<double>{0.0, 0.1}));
  EXPECT_EQ(item->width, 0);
  EXPECT_EQ(item->imageSize, 0);
  EXPECT_FALSE(FileExists(in.imagePath));

  // A flag set before the run starts stops it before any work.
  progress_.clear();
  EXPECT_FALSE(MakeImageFiles(*item, in, settings_, nullptr, &error_, &cancel));
  EXPECT_FALSE(FileExists(in.thumbPath));
}

TEST_F(MakeImageTest, TurnedPhotoIsReEncodedUpright) {
  const std::string source = test::PhotoFile(dir_, "small.jpg", 1000, 800);
  auto item = test::PhotoItem(source, "p.jpg");
  item->rotate = 1;
  MakeImageInputs in = Inputs(source);
  in.useOriginal = true;
  ASSERT_TRUE(Make(*item, in)) << error_;
  EXPECT_NE(FileBytes(in.imagePath), FileBytes(source));
  EXPECT_EQ(FileImageSize(in.imagePath), (PixelSize{800, 1000}));
  EXPECT_EQ(item->width, 800);
  EXPECT_EQ(item->height, 1000);
  EXPECT_EQ(FileImageSize(in.thumbPath), (PixelSize{80, 100}));
}

TEST_F(MakeImageTest, LargePhotoIsFittedIntoTheResolution) {
  const std::string source = test::PhotoFile(dir_, "large.jpg", 3000, 2000);
  auto item = test::PhotoItem(source, "p.jpg");
  MakeImageInputs in = Inputs(source);
  in.useOriginal = true;  // does not apply to a photo larger than the resolution
  ASSERT_TRUE(Make(*item, in)) << error_;
  EXPECT_EQ(FileImageSize(in.imagePath), (PixelSize{1200, 800}));
  EXPECT_LT(FileSize(in.imagePath), FileSize(source));
  EXPECT_FALSE(FileExists(in.hdPath));
  EXPECT_FALSE(FileExists(in.patchPath));
}

TEST_F(MakeImageTest, RotationCodesTurnClockwiseThenMirror) {
  const std::string source = test::QuadrantFile(dir_, "q.jpg", 64, 32);
  const Rgb red{255, 0, 0}, green{0, 255, 0}, blue{0, 0, 255}, white{255, 255, 255};
  struct Case {
    int code;
    PixelSize size;
    Rgb topLeft, topRight, bottomLeft;
  };
  // 1: a quarter turn clockwise; 5: the same, then mirrored (the picture transposed).
  for (const Case& c : {Case{1, {32, 64}, blue, red, white}, Case{5, {32, 64}, red, blue, green},
                        Case{2, {64, 32}, white, blue, green}}) {
    SCOPED_TRACE(c.code);
    auto item = test::PhotoItem(source, "p.jpg");
    item->rotate = c.code;
    const MakeImageInputs in = Inputs(source);
    ASSERT_TRUE(Make(*item, in)) << error_;
    const Bitmap out = LoadImageFile(in.imagePath, LoadPurpose::kPrepare);
    ASSERT_NE(out, nullptr);
    EXPECT_EQ(BitmapSize(out.get()), c.size);
    const int w = c.size.width, h = c.size.height;
    EXPECT_TRUE(Near(PixelAt(out.get(), 3, 3), c.topLeft));
    EXPECT_TRUE(Near(PixelAt(out.get(), w - 4, 3), c.topRight));
    EXPECT_TRUE(Near(PixelAt(out.get(), 3, h - 4), c.bottomLeft));
  }
}

TEST_F(MakeImageTest, HdImageLargerThanTheOriginalSendsTheOriginal) {
  // Saved at a low quality, the original is smaller than its re-encoding would be.
  const std::string source = test::PhotoFile(dir_, "hd.jpg", 4000, 3000, 40);
  auto item = test::PhotoItem(source, "p.jpg");
  item->isHdPhoto = true;
  const MakeImageInputs in = Inputs(source);
  ASSERT_TRUE(Make(*item, in)) << error_;
  EXPECT_EQ(FileBytes(in.hdPath), FileBytes(source));
  EXPECT_EQ(item->hdwidth, 4000);
  EXPECT_EQ(item->hdheight, 3000);
  EXPECT_EQ(item->hdSize, FileSize(source));
  EXPECT_TRUE(item->isHdPhoto);
  EXPECT_EQ(FileImageSize(in.imagePath), (PixelSize{1200, 900}));
  EXPECT_EQ(item->fileSize, item->imageSize + item->thumbSize + item->hdSize);
  EXPECT_EQ(progress_, (std::vector<double>{0.0, 0.1, 0.2, 0.3, 0.4, 0.6, 0.8, 1.0}));
}

TEST_F(MakeImageTest, HdImageSmallerThanTheOriginalIsTheReEncoding) {
  const std::string source = test::PhotoFile(dir_, "hd.jpg", 2600, 1800, 100);
  auto item = test::PhotoItem(source, "p.jpg");
  item->isHdPhoto = true;
  item->rotate = 3;
  const MakeImageInputs in = Inputs(source);
  ASSERT_TRUE(Make(*item, in)) << error_;
  EXPECT_NE(FileBytes(in.hdPath), FileBytes(source));
  EXPECT_EQ(FileImageSize(in.hdPath), (PixelSize{1800, 2600}));
  EXPECT_EQ(item->hdwidth, 1800);
  EXPECT_EQ(FileImageSize(in.imagePath), (PixelSize{831, 1200}));
}

TEST_F(MakeImageTest, TurnedHdPhotoNeverSendsTheUnturnedOriginal) {
  const std::string source = test::PhotoFile(dir_, "hd.jpg", 4000, 3000, 40);
  auto item = test::PhotoItem(source, "p.jpg");
  item->isHdPhoto = true;
  item->rotate = 1;
  const MakeImageInputs in = Inputs(source);
  ASSERT_TRUE(Make(*item, in)) << error_;
  EXPECT_EQ(FileImageSize(in.hdPath), (PixelSize{3000, 4000}));
  EXPECT_EQ(item->hdwidth, 3000);
}

TEST_F(MakeImageTest, HdPhotoThatFitsTheResolutionIsNoHdPhoto) {
  const std::string source = test::PhotoFile(dir_, "small.jpg", 1000, 700);
  auto item = test::PhotoItem(source, "p.jpg");
  item->isHdPhoto = true;
  const MakeImageInputs in = Inputs(source);
  ASSERT_TRUE(CreateDirectoryPath(FolderOfPath(in.hdPath)));
  ASSERT_TRUE(WriteFileAtomic(in.hdPath, "stale"));
  ASSERT_TRUE(Make(*item, in)) << error_;
  EXPECT_FALSE(item->isHdPhoto);
  EXPECT_FALSE(FileExists(in.hdPath));  // a stale file is not taken for this run's
  EXPECT_EQ(item->hdSize, 0);
}

TEST_F(MakeImageTest, WatermarkWritesThePatchAndMarksTheImage) {
  settings_.watermark = FixedWatermarkSource(test::OrangeTemplate(40, 20));
  const std::string source = test::PhotoFile(dir_, "w.jpg", 1600, 1200);
  auto item = test::PhotoItem(source, "p.jpg");
  item->hasWatermark = true;
  const MakeImageInputs in = Inputs(source);
  ASSERT_TRUE(Make(*item, in)) << error_;
  EXPECT_EQ(FileImageSize(in.patchPath), (PixelSize{40, 20}));
  EXPECT_EQ(item->patchSize, FileSize(in.patchPath));
  EXPECT_EQ(item->fileSize, item->imageSize + item->thumbSize + item->patchSize);
  const Bitmap out = LoadImageFile(in.imagePath, LoadPurpose::kPrepare);
  EXPECT_TRUE(Near(PixelAt(out.get(), 1190, 890), Rgb{255, 128, 0}));
  // The thumbnail shows the photo, not the mark.
  const Bitmap thumb = LoadImageFile(in.thumbPath, LoadPurpose::kPrepare);
  EXPECT_FALSE(Near(PixelAt(thumb.get(), 99, 74), Rgb{255, 128, 0}));

  // Without the watermark the old patch goes.
  item->hasWatermark = false;
  ASSERT_TRUE(Make(*item, in)) << error_;
  EXPECT_FALSE(FileExists(in.patchPath));
  EXPECT_EQ(item->patchSize, 0);
}

TEST_F(MakeImageTest, NoTemplateOnTheServiceMeansNoWatermark) {
  settings_.watermark = FixedWatermarkSource(nullptr);
  const std::string source = test::PhotoFile(dir_, "w.jpg", 800, 600);
  auto item = test::PhotoItem(source, "p.jpg");
  item->hasWatermark = true;
  const MakeImageInputs in = Inputs(source);
  ASSERT_TRUE(Make(*item, in)) << error_;
  EXPECT_FALSE(FileExists(in.patchPath));
}

TEST_F(MakeImageTest, TemplateThatCannotBeFetchedFailsInsteadOfSendingUnmarked) {
  settings_.watermark = [] { return WatermarkTemplate{nullptr, "GetWatermarkTemplate: down"}; };
  const std::string source = test::PhotoFile(dir_, "w.jpg", 800, 600);
  auto item = test::PhotoItem(source, "p.jpg");
  item->hasWatermark = true;
  const MakeImageInputs in = Inputs(source);
  EXPECT_FALSE(Make(*item, in));
  EXPECT_EQ(error_, "GetWatermarkTemplate: down");
  EXPECT_FALSE(FileExists(in.imagePath));
}

TEST_F(MakeImageTest, FailureLeavesTheSizesAsTheyWere) {
  const std::string source = dir_.Write("broken.jpg", std::string("\xFF\xD8\xFF\xE0garbage", 11));
  auto item = test::PhotoItem(source, "p.jpg");
  item->imageSize = 11;
  item->fileSize = 22;
  item->width = 5;
  EXPECT_FALSE(Make(*item, Inputs(source)));
  EXPECT_NE(error_, "");
  EXPECT_EQ(item->imageSize, 11);
  EXPECT_EQ(item->fileSize, 22);
  EXPECT_EQ(item->width, 5);
}

TEST_F(MakeImageTest, MissingSourceFails) {
  auto item = test::PhotoItem(dir_.File("gone.jpg"), "p.jpg");
  EXPECT_FALSE(Make(*item, Inputs(item->localPath)));
  EXPECT_NE(error_.find("gone.jpg"), std::string::npos);
}

}  // namespace
}  // namespace zerva
