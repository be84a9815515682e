#include "media/lanczos_resample.h"

#include <gtest/gtest.h>

#include "media/image_fit.h"
#include "media_fixtures.h"

namespace zerva {
namespace {

TEST(ReduceLanczos3, LooksLikeTheImageLibrarysLanczos3) {
  const Bitmap image = test::PhotoLike(300, 200, 3);
  FreeImage_SetMetadataKeyValue(FIMD_COMMENTS, image.get(), "Comment", "kept");
  for (PixelSize size : {PixelSize{120, 80}, PixelSize{299, 200}, PixelSize{7, 5}}) {
    SCOPED_TRACE(std::to_string(size.width));
    const Bitmap ours = ReduceLanczos3(image.get(), size);
    const Bitmap library(FreeImage_Rescale(image.get(), size.width, size.height, FILTER_LANCZOS3));
    ASSERT_NE(ours, nullptr);
    EXPECT_EQ(BitmapSize(ours.get()), size);
    EXPECT_LE(test::MaxDifference(ours.get(), library.get()), 2);
    EXPECT_EQ(FreeImage_GetMetadataCount(FIMD_COMMENTS, ours.get()), 1u);
  }
}

TEST(ReduceLanczos3, KeepsFlatColoursAndSharpEdgesInPlace) {
  // Left half dark, right half light: after halving, the edge is still in the middle and the
  // far sides keep their colours exactly.
  Bitmap image(FreeImage_Allocate(64, 16, 24));
  for (int y = 0; y < 16; ++y) {
    for (int x = 0; x < 64; ++x)
      test::SetPixel(image.get(), x, y, x < 32 ? test::Rgb{20, 30, 40} : test::Rgb{220, 210, 200});
  }
  const Bitmap half = ReduceLanczos3(image.get(), {32, 8});
  ASSERT_NE(half, nullptr);
  EXPECT_EQ(test::PixelAt(half.get(), 2, 4), (test::Rgb{20, 30, 40}));
  EXPECT_EQ(test::PixelAt(half.get(), 29, 4), (test::Rgb{220, 210, 200}));
  EXPECT_LT(test::PixelAt(half.get(), 15, 4).r, 120);
  EXPECT_GT(test::PixelAt(half.get(), 16, 4).r, 120);
}

TEST(ReduceLanczos3, TakesOnlyReductionsOfStandardBitmaps) {
  const Bitmap image = test::PhotoLike(30, 20);
  EXPECT_EQ(ReduceLanczos3(image.get(), {31, 20}), nullptr);
  EXPECT_EQ(ReduceLanczos3(image.get(), {0, 10}), nullptr);
  EXPECT_EQ(ReduceLanczos3(nullptr, {10, 10}), nullptr);
  const Bitmap grey(FreeImage_ConvertToGreyscale(image.get()));
  EXPECT_EQ(ReduceLanczos3(grey.get(), {10, 5}), nullptr);
  // Fitting still works for them, through the library.
  Bitmap copy = CloneBitmap(grey.get());
  ASSERT_TRUE(FitBitmap(copy, 10, ResampleFilter::kLanczos3));
  EXPECT_EQ(BitmapSize(copy.get()), (PixelSize{10, 7}));
}

}  // namespace
}  // namespace zerva
