#include "media/jpeg_fit_load.h"

#include <gtest/gtest.h>

#include "media/image_fit.h"
#include "media/standard_bitmap.h"
#include "media_fixtures.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

TEST(JpegScaleForFit, PicksTheSmallestScaleThatKeepsTwiceTheTarget) {
  // 6000 x 4000 into 1200: 1/2 gives 3000, 3/8 would give 2250 < 2400.
  EXPECT_EQ(JpegScaleForFit(6000, 4000, 1200), (JpegScale{1, 2}));
  // A phone picture: 5/8 gives 2520; the library's own 1/2, 1/4, 1/8 would decode it whole.
  EXPECT_EQ(JpegScaleForFit(4032, 3024, 1200), (JpegScale{5, 8}));
  EXPECT_EQ(JpegScaleForFit(3024, 4032, 1200), (JpegScale{5, 8}));
  EXPECT_EQ(JpegScaleForFit(1000, 800, 100), (JpegScale{1, 4}));
  EXPECT_EQ(JpegScaleForFit(8000, 100, 100), (JpegScale{1, 8}));  // 1000 >= 200
  EXPECT_EQ(JpegScaleForFit(6000, 4000, 3000), (JpegScale{1, 1}));
  // Exactly twice is enough.
  EXPECT_EQ(JpegScaleForFit(4800, 3200, 1200), (JpegScale{1, 2}));
  EXPECT_EQ(JpegScaleForFit(1000, 800, 0), (JpegScale{1, 1}));
  EXPECT_EQ(JpegScaleForFit(0, 0, 100), (JpegScale{1, 1}));
}

TEST(JpegScaleForFit, EveryChoiceKeepsTwiceTheTargetAndNoSmallerScaleWould) {
  for (int side : {17, 100, 999, 1600, 2401, 4032, 6000, 21000}) {
    for (int target : {8, 100, 640, 1200, 2000}) {
      const JpegScale chosen = JpegScaleForFit(side, side / 2 + 1, target);
      const int kept = ScaledJpegSize(side, side / 2 + 1, chosen).width;
      if (chosen.num != chosen.denom) {
        EXPECT_GE(kept, 2 * target) << side << " " << target;
      }
      for (int m = 1; m < 8; ++m) {
        const int smaller = ScaledJpegSize(side, 1, {m, 8}).width;
        if (smaller < kept) {
          EXPECT_LT(smaller, 2 * target) << side << " " << target << " " << m;
        }
      }
    }
  }
}

class LoadForFitTest : public ::testing::Test {
 protected:
  std::string Jpeg(const std::string& name, int width, int height) {
    const Bitmap image = test::PhotoLike(width, height, 7);
    return test::SavedJpeg(image.get(), dir_.File(name), 95);
  }
  test::TempDir dir_;
};

TEST_F(LoadForFitTest, DecodesAtTheChosenScaleAndKnowsTheSourceSize) {
  const std::string path = Jpeg("a.jpg", 1000, 800);
  for (int target : {100, 200, 300, 600}) {
    SCOPED_TRACE(target);
    PixelSize source;
    std::string error;
    const Bitmap image = LoadForFit(path, target, &source, &error);
    ASSERT_NE(image, nullptr) << error;
    EXPECT_EQ(source, (PixelSize{1000, 800}));
    EXPECT_TRUE(IsStandardBitmap(image.get()));
    const PixelSize loaded = BitmapSize(image.get());
    EXPECT_EQ(loaded, ScaledJpegSize(1000, 800, JpegScaleForFit(1000, 800, target)));
    EXPECT_GE(std::max(loaded.width, loaded.height), std::min(1000, 2 * target));
  }
}

TEST_F(LoadForFitTest, LooksLikeTheWholePictureFittedTheSlowWay) {
  const std::string path = Jpeg("b.jpg", 1600, 1200);
  Bitmap fast = LoadForFit(path, 200);
  Bitmap slow = LoadImageFile(path, JPEG_ACCURATE);
  ASSERT_NE(fast, nullptr);
  ASSERT_NE(slow, nullptr);
  EXPECT_LT(BitmapSize(fast.get()).width, 1600);
  ASSERT_TRUE(FitBitmap(fast, 200, ResampleFilter::kLanczos3));
  ASSERT_TRUE(FitBitmap(slow, 200, ResampleFilter::kLanczos3));
  EXPECT_EQ(BitmapSize(fast.get()), (PixelSize{200, 150}));
  EXPECT_LE(test::MaxDifference(fast.get(), slow.get()), 24);
}

TEST_F(LoadForFitTest, KeepsTheFileMetadata) {
  Bitmap image = test::PhotoLike(400, 300);
  FreeImage_SetMetadataKeyValue(FIMD_COMMENTS, image.get(), "Comment", "camera words");
  const std::string path = test::SavedJpeg(image.get(), dir_.File("c.jpg"));
  const Bitmap loaded = LoadForFit(path, 50);
  ASSERT_NE(loaded, nullptr);
  EXPECT_LT(BitmapSize(loaded.get()).width, 400);
  FITAG* tag = nullptr;
  ASSERT_TRUE(FreeImage_GetMetadata(FIMD_COMMENTS, loaded.get(), "Comment", &tag));
  EXPECT_STREQ(static_cast<const char*>(FreeImage_GetTagValue(tag)), "camera words");
}

TEST_F(LoadForFitTest, GreyJpegsAndOtherFormatsArriveAsStandardBitmaps) {
  Bitmap grey(FreeImage_ConvertToGreyscale(test::PhotoLike(300, 200).get()));
  const std::string greyPath = test::SavedJpeg(grey.get(), dir_.File("grey.jpg"));
  const Bitmap greyLoaded = LoadForFit(greyPath, 50);
  ASSERT_NE(greyLoaded, nullptr);
  EXPECT_TRUE(IsStandardBitmap(greyLoaded.get()));

  const std::string tiff = dir_.File("d.tif");
  ASSERT_TRUE(FreeImage_Save(FIF_TIFF, grey.get(), tiff.c_str(), 0));
  PixelSize source;
  const Bitmap tiffLoaded = LoadForFit(tiff, 50, &source);
  ASSERT_NE(tiffLoaded, nullptr);
  EXPECT_TRUE(IsStandardBitmap(tiffLoaded.get()));
  EXPECT_EQ(BitmapSize(tiffLoaded.get()), (PixelSize{300, 200}));
  EXPECT_EQ(source, (PixelSize{300, 200}));
}

TEST_F(LoadForFitTest, BrokenAndTruncatedJpegsFailCleanly) {
  const std::string whole = test::ReadWholeFile(Jpeg("whole.jpg", 640, 480));
  std::string flipped = whole;
  for (size_t i = whole.size() / 3; i < whole.size() / 3 + 64; ++i) flipped[i] = '\xff';
  const std::string cases[] = {whole.substr(0, whole.size() / 2), whole.substr(0, 2),
                               whole.substr(0, 300), "\xff\xd8\xff\xe0 nothing more", flipped};
  int index = 0;
  for (const std::string& content : cases) {
    SCOPED_TRACE(index);
    const std::string path = dir_.Write("broken" + std::to_string(index++) + ".jpg", content);
    std::string error;
    const Bitmap image = LoadForFit(path, 100, nullptr, &error);
    // Garbled entropy data may still decode to a complete (if odd) picture; the rest must fail.
    if (&content != &cases[4]) {
      EXPECT_EQ(image, nullptr);
      EXPECT_EQ(error.rfind("LoadImage " + path + ": ", 0), 0u) << error;
    }
  }
  std::string error;
  EXPECT_EQ(LoadJpegForFit(whole.substr(0, whole.size() / 2), 100, nullptr, &error), nullptr);
  EXPECT_NE(error.find("ends before the picture does"), std::string::npos) << error;
  EXPECT_EQ(LoadForFit(dir_.File("missing.jpg"), 100), nullptr);
}

TEST_F(LoadForFitTest, RefusesPicturesAboveThePixelBound) {
  const std::string bytes = test::ReadWholeFile(Jpeg("e.jpg", 300, 200));
  std::string error;
  EXPECT_EQ(LoadJpegForFit(bytes, 10, nullptr, &error, 300 * 200 - 1), nullptr);
  EXPECT_NE(error.find("too large"), std::string::npos) << error;
  EXPECT_NE(LoadJpegForFit(bytes, 10, nullptr, &error, 300 * 200), nullptr);
}

}  // namespace
}  // namespace zerva
