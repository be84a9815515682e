#include "media/watermark.h"

#include <gtest/gtest.h>

#include "media/image_load.h"
#include "media/image_save.h"
#include "media/standard_bitmap.h"
#include "media_fixtures.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

using test::PixelAt;
using test::Rgb;

constexpr Rgb kInk = {250, 20, 120};

// An opaque template of one colour.
Bitmap SolidTemplate(int width, int height, Rgb colour = kInk) {
  Bitmap templ(FreeImage_Allocate(width, height, 24));
  RGBQUAD fill = {BYTE(colour.b), BYTE(colour.g), BYTE(colour.r), 0};
  FreeImage_FillBackground(templ.get(), &fill);
  return templ;
}

TEST(WatermarkImage, CoversTheBottomRightCornerAndKeepsWhatWasThere) {
  Bitmap image = test::DistinctPicture(6, 5);
  const Bitmap original = CloneBitmap(image.get());
  const Bitmap templ = SolidTemplate(2, 3);
  Bitmap patch;
  ASSERT_TRUE(WatermarkImage(image, templ.get(), &patch));
  ASSERT_NE(patch, nullptr);
  EXPECT_EQ(BitmapSize(patch.get()), (PixelSize{2, 3}));
  EXPECT_EQ(FreeImage_GetBPP(patch.get()), 24u);
  for (int y = 0; y < 5; ++y) {
    for (int x = 0; x < 6; ++x) {
      const bool covered = x >= 4 && y >= 2;
      EXPECT_EQ(PixelAt(image.get(), x, y), covered ? kInk : test::DistinctColor(x, y))
          << x << "," << y;
      if (covered) {
        EXPECT_EQ(PixelAt(patch.get(), x - 4, y - 2), test::DistinctColor(x, y));
      }
    }
  }
  // The patch turns the watermarked picture back into the original, pixel for pixel.
  ASSERT_TRUE(RemoveWatermark(image.get(), patch.get()));
  EXPECT_EQ(test::MaxDifference(image.get(), original.get()), 0);
}

TEST(WatermarkImage, TheTemplatesTransparencyLetsThePictureShowThrough) {
  Bitmap image = test::DistinctPicture(4, 1);
  Bitmap templ(
      FreeImage_Allocate(3, 1, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
  BYTE* line = FreeImage_GetScanLine(templ.get(), 0);
  const BYTE alphas[3] = {0, 255, 128};
  for (int x = 0; x < 3; ++x) {
    line[4 * x + FI_RGBA_RED] = 255, line[4 * x + FI_RGBA_GREEN] = 255;
    line[4 * x + FI_RGBA_BLUE] = 255, line[4 * x + FI_RGBA_ALPHA] = alphas[x];
  }
  Bitmap patch;
  ASSERT_TRUE(WatermarkImage(image, templ.get(), &patch));
  EXPECT_EQ(PixelAt(image.get(), 1, 0), test::DistinctColor(1, 0));  // fully transparent
  EXPECT_EQ(PixelAt(image.get(), 2, 0), (Rgb{255, 255, 255}));       // opaque
  const Rgb under = test::DistinctColor(3, 0), half = PixelAt(image.get(), 3, 0);
  EXPECT_GT(half.r, under.r);  // in between
  EXPECT_LT(half.r, 255);
}

TEST(WatermarkImage, ATemplateLargerThanThePictureIsClipped) {
  Bitmap image = test::DistinctPicture(3, 2);
  Bitmap templ = SolidTemplate(5, 4);
  test::SetPixel(templ.get(), 4, 3, {1, 2, 3});  // its bottom-right corner stays in view
  Bitmap patch;
  ASSERT_TRUE(WatermarkImage(image, templ.get(), &patch));
  EXPECT_EQ(BitmapSize(patch.get()), (PixelSize{3, 2}));
  EXPECT_EQ(PixelAt(image.get(), 2, 1), (Rgb{1, 2, 3}));
  EXPECT_EQ(PixelAt(image.get(), 0, 0), kInk);
  ASSERT_TRUE(RemoveWatermark(image.get(), patch.get()));
  EXPECT_EQ(PixelAt(image.get(), 0, 0), test::DistinctColor(0, 0));
}

TEST(WatermarkImage, WithoutATemplateNothingHappens) {
  Bitmap image = test::DistinctPicture(3, 2);
  FIBITMAP* before = image.get();
  Bitmap patch = test::DistinctPicture(1, 1);
  EXPECT_TRUE(WatermarkImage(image, nullptr, &patch));
  EXPECT_EQ(patch, nullptr);
  EXPECT_EQ(image.get(), before);
  EXPECT_EQ(PixelAt(image.get(), 2, 1), test::DistinctColor(2, 1));
}

TEST(WatermarkImage, GreyPicturesBecomeColourWithTheirMetadata) {
  Bitmap grey(FreeImage_ConvertToGreyscale(test::DistinctPicture(4, 4).get()));
  FreeImage_SetMetadataKeyValue(FIMD_COMMENTS, grey.get(), "Comment", "grey");
  ASSERT_EQ(FreeImage_GetBPP(grey.get()), 8u);
  const Bitmap templ = SolidTemplate(1, 1);
  ASSERT_TRUE(WatermarkImage(grey, templ.get(), nullptr));
  EXPECT_TRUE(IsStandardBitmap(grey.get()));
  EXPECT_EQ(PixelAt(grey.get(), 3, 3), kInk);
  EXPECT_EQ(FreeImage_GetMetadataCount(FIMD_COMMENTS, grey.get()), 1u);
}

TEST(RemoveWatermark, RefusesPatchesThatDoNotFit) {
  Bitmap image = test::DistinctPicture(3, 2);
  const Bitmap wide = test::DistinctPicture(4, 1);
  EXPECT_FALSE(RemoveWatermark(image.get(), wide.get()));
  EXPECT_FALSE(RemoveWatermark(image.get(), nullptr));
  EXPECT_FALSE(RemoveWatermark(nullptr, wide.get()));
  EXPECT_EQ(PixelAt(image.get(), 2, 0), test::DistinctColor(2, 0));
  // A grey patch on a colour picture is converted, not refused.
  Bitmap grey(FreeImage_ConvertToGreyscale(test::DistinctPicture(1, 1).get()));
  EXPECT_TRUE(RemoveWatermark(image.get(), grey.get()));
}

class WatermarkFileTest : public ::testing::Test {
 protected:
  std::string Photo(const std::string& name) {
    const Bitmap image = test::PhotoLike(120, 80);
    return test::SavedJpeg(image.get(), dir_.File(name), 95);
  }
  test::TempDir dir_;
};

TEST_F(WatermarkFileTest, WritesThePatchAndThePictureInPlace) {
  const std::string path = Photo("p.jpg");
  const Bitmap before = LoadImageFile(path, JPEG_ACCURATE);
  const std::string patchPath = dir_.File("p_diff.jpg");
  const Bitmap templ = SolidTemplate(30, 20, {0, 0, 255});
  std::string error;
  ASSERT_TRUE(WatermarkFile(path, JPEG_ACCURATE, 90, patchPath, templ.get(), &error)) << error;
  const Bitmap after = LoadImageFile(path, JPEG_ACCURATE);
  const Bitmap patch = LoadImageFile(patchPath, JPEG_ACCURATE);
  ASSERT_NE(after, nullptr);
  ASSERT_NE(patch, nullptr);
  EXPECT_EQ(BitmapSize(after.get()), (PixelSize{120, 80}));
  EXPECT_EQ(BitmapSize(patch.get()), (PixelSize{30, 20}));
  EXPECT_LE(test::MaxChannelDifference(PixelAt(after.get(), 110, 75), {0, 0, 255}), 8);
  // The patch holds the original corner (as well as JPEG keeps it).
  EXPECT_LE(
      test::MaxChannelDifference(PixelAt(patch.get(), 15, 10), PixelAt(before.get(), 105, 70)), 16);
}

TEST_F(WatermarkFileTest, FailuresLeaveThePictureWithoutAWatermark) {
  const std::string path = Photo("q.jpg");
  const std::string before = test::ReadWholeFile(path);
  const Bitmap templ = SolidTemplate(10, 10);
  std::string error;
  // The patch cannot be written: the picture must not lose its corner.
  EXPECT_FALSE(WatermarkFile(path, JPEG_ACCURATE, 90, dir_.File("no/such/folder/d.jpg"),
                             templ.get(), &error));
  EXPECT_EQ(test::ReadWholeFile(path), before);
  EXPECT_NE(error.find("SaveJpeg"), std::string::npos) << error;
  // Without a template the file stays as it is and no patch appears.
  EXPECT_TRUE(WatermarkFile(path, JPEG_ACCURATE, 90, dir_.File("d.jpg"), nullptr));
  EXPECT_EQ(test::ReadWholeFile(path), before);
  EXPECT_EQ(test::FolderNames(dir_.Path()), std::vector<std::string>{"q.jpg"});
  // A file that is no picture fails with the loader's reason.
  const std::string text = dir_.Write("t.jpg", "text");
  EXPECT_FALSE(WatermarkFile(text, JPEG_ACCURATE, 90, dir_.File("d.jpg"), templ.get(), &error));
  EXPECT_NE(error.find("LoadImage " + text), std::string::npos) << error;
}

}  // namespace
}  // namespace zerva
