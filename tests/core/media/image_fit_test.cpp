#include "media/image_fit.h"

#include <gtest/gtest.h>

#include "media_fixtures.h"

namespace zerva {
namespace {

TEST(FitBitmap, TheLongerSideBecomesTheLimitAndTheAspectStays) {
  const struct {
    int w, h, limit;
    PixelSize expected;
  } cases[] = {
      {400, 300, 120, {120, 90}},   // landscape
      {300, 400, 120, {90, 120}},   // portrait
      {100, 100, 30, {30, 30}},     // square
      {1001, 333, 100, {100, 33}},  // rounding to the nearest pixel
      {500, 2, 100, {100, 1}},      // never below one pixel
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
    Bitmap image = test::PhotoLike(c.w, c.h);
    ASSERT_TRUE(FitBitmap(image, c.limit, ResampleFilter::kLanczos3));
    EXPECT_EQ(BitmapSize(image.get()), c.expected);
  }
}

TEST(FitBitmap, NeverEnlargesAndLeavesFittingPicturesAlone) {
  for (int limit : {1000, 1200, 21000, 0, -5}) {
    Bitmap image = test::PhotoLike(1000, 800);
    FIBITMAP* before = image.get();
    ASSERT_TRUE(FitBitmap(image, limit, ResampleFilter::kBox));
    EXPECT_EQ(image.get(), before) << limit;  // not even copied
    EXPECT_EQ(BitmapSize(image.get()), (PixelSize{1000, 800}));
  }
  Bitmap none;
  EXPECT_FALSE(FitBitmap(none, 100, ResampleFilter::kBox));
}

TEST(FitBitmap, BothFiltersKeepTheColoursOfAFlatPicture) {
  for (ResampleFilter filter : {ResampleFilter::kBox, ResampleFilter::kLanczos3}) {
    Bitmap image(FreeImage_Allocate(90, 60, 24));
    RGBQUAD colour = {30, 140, 220, 0};
    FreeImage_FillBackground(image.get(), &colour);
    ASSERT_TRUE(FitBitmap(image, 30, filter));
    EXPECT_EQ(BitmapSize(image.get()), (PixelSize{30, 20}));
    EXPECT_EQ(test::PixelAt(image.get(), 15, 10), (test::Rgb{220, 140, 30}));
  }
}

TEST(MakeThumbnail, IsAFittedCopyWithoutMetadata) {
  Bitmap image = test::PhotoLike(640, 480);
  FreeImage_SetMetadataKeyValue(FIMD_COMMENTS, image.get(), "Comment", "big");
  Bitmap small = test::PhotoLike(16, 12);
  FreeImage_SetThumbnail(image.get(), small.get());
  const Bitmap thumbnail = MakeThumbnail(image.get(), 100);
  ASSERT_NE(thumbnail, nullptr);
  EXPECT_EQ(BitmapSize(thumbnail.get()), (PixelSize{100, 75}));
  EXPECT_EQ(FreeImage_GetMetadataCount(FIMD_COMMENTS, thumbnail.get()), 0u);
  EXPECT_EQ(FreeImage_GetThumbnail(thumbnail.get()), nullptr);
  // The source keeps everything.
  EXPECT_EQ(BitmapSize(image.get()), (PixelSize{640, 480}));
  EXPECT_EQ(FreeImage_GetMetadataCount(FIMD_COMMENTS, image.get()), 1u);

  // A picture smaller than the thumbnail size is copied, not enlarged.
  const Bitmap tiny = MakeThumbnail(small.get(), 100);
  ASSERT_NE(tiny, nullptr);
  EXPECT_NE(tiny.get(), small.get());
  EXPECT_EQ(BitmapSize(tiny.get()), (PixelSize{16, 12}));
  EXPECT_EQ(MakeThumbnail(nullptr, 100), nullptr);
}

}  // namespace
}  // namespace zerva
