#include "media/image_rotate.h"

#include <gtest/gtest.h>

#include <functional>

#include "media_fixtures.h"
#include "model/exif_block.h"

namespace zerva {
namespace {

using test::DistinctColor;
using test::PixelAt;

// Where the pixel at (x, y) of a w x h picture lands for each code, written out by hand:
// quarter turns clockwise, then a mirror for codes 4 to 7.
struct Expected {
  int width, height;
  std::function<std::pair<int, int>(int x, int y)> land;
};

Expected ExpectedFor(int code, int w, int h) {
  switch (code) {
    case 0:
      return {w, h, [](int x, int y) { return std::pair{x, y}; }};
    case 1:
      return {h, w, [h](int x, int y) { return std::pair{h - 1 - y, x}; }};
    case 2:
      return {w, h, [w, h](int x, int y) { return std::pair{w - 1 - x, h - 1 - y}; }};
    case 3:
      return {h, w, [w](int x, int y) { return std::pair{y, w - 1 - x}; }};
    case 4:
      return {w, h, [w](int x, int y) { return std::pair{w - 1 - x, y}; }};
    case 5:
      return {h, w, [](int x, int y) { return std::pair{y, x}; }};
    case 6:
      return {w, h, [h](int x, int y) { return std::pair{x, h - 1 - y}; }};
    default:
      return {h, w, [w, h](int x, int y) { return std::pair{h - 1 - y, w - 1 - x}; }};
  }
}

TEST(RotateByCode, EveryCodeMovesEveryPixelWhereItBelongs) {
  constexpr int kW = 3, kH = 2;
  for (int code = 0; code <= 7; ++code) {
    SCOPED_TRACE("code " + std::to_string(code));
    Bitmap image = test::DistinctPicture(kW, kH);
    ASSERT_TRUE(RotateByCode(image, code));
    const Expected expected = ExpectedFor(code, kW, kH);
    ASSERT_EQ(BitmapSize(image.get()), (PixelSize{expected.width, expected.height}));
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        const auto [nx, ny] = expected.land(x, y);
        EXPECT_EQ(PixelAt(image.get(), nx, ny), DistinctColor(x, y)) << x << "," << y;
      }
    }
  }
}

TEST(RotateByCode, CodeFiveIsAQuarterTurnClockwiseThenAMirror) {
  // Top-left pixel: a quarter turn takes it to the top-right, the mirror back to the top-left;
  // the top-right pixel ends at the bottom-left.
  Bitmap image = test::DistinctPicture(3, 2);
  ASSERT_TRUE(RotateByCode(image, 5));
  EXPECT_EQ(PixelAt(image.get(), 0, 0), DistinctColor(0, 0));
  EXPECT_EQ(PixelAt(image.get(), 0, 2), DistinctColor(2, 0));
  EXPECT_EQ(PixelAt(image.get(), 1, 0), DistinctColor(0, 1));
}

TEST(RotateByCode, RefusesCodesOutsideTheRangeAndLeavesThePicture) {
  for (int code : {-1, 8, 12}) {
    Bitmap image = test::DistinctPicture(3, 2);
    FIBITMAP* before = image.get();
    EXPECT_FALSE(RotateByCode(image, code));
    EXPECT_EQ(image.get(), before);
    EXPECT_EQ(PixelAt(image.get(), 0, 0), DistinctColor(0, 0));
  }
  Bitmap none;
  EXPECT_FALSE(RotateByCode(none, 1));
}

TEST(RotateByCode, KeepsTheMetadata) {
  Bitmap image = test::DistinctPicture(4, 2);
  FreeImage_SetMetadataKeyValue(FIMD_COMMENTS, image.get(), "Comment", "kept");
  ASSERT_TRUE(RotateByCode(image, 5));
  FITAG* tag = nullptr;
  ASSERT_TRUE(FreeImage_GetMetadata(FIMD_COMMENTS, image.get(), "Comment", &tag));
  EXPECT_STREQ(static_cast<const char*>(FreeImage_GetTagValue(tag)), "kept");
}

// A camera stores the picture as its sensor saw it and says in the EXIF orientation how to show
// it. Stored pictures are made here from an upright one by the EXIF definition of each value;
// the code that the orientation maps to must make each of them upright again.
TEST(RotateByCode, TheCodeOfEachExifOrientationShowsThePictureUpright) {
  constexpr int kW = 3, kH = 2;
  // For orientation o: the upright pixel (x, y) is found in the stored picture at...
  const std::function<std::pair<int, int>(int, int)> storedAt[9] = {
      nullptr,
      [](int x, int y) {
        return std::pair{x, y};
      },  // 1 as is
      [](int x, int y) {
        return std::pair{kW - 1 - x, y};
      },  // 2 mirrored
      [](int x, int y) {
        return std::pair{kW - 1 - x, kH - 1 - y};
      },  // 3 upside down
      [](int x, int y) {
        return std::pair{x, kH - 1 - y};
      },  // 4 mirrored vertically
      [](int x, int y) {
        return std::pair{y, x};
      },  // 5 transposed
      [](int x, int y) {
        return std::pair{y, kW - 1 - x};
      },  // 6 turned left
      [](int x, int y) {
        return std::pair{kH - 1 - y, kW - 1 - x};
      },  // 7 transversed
      [](int x, int y) {
        return std::pair{kH - 1 - y, x};
      },  // 8 turned right
  };
  for (int orientation = 1; orientation <= 8; ++orientation) {
    SCOPED_TRACE("orientation " + std::to_string(orientation));
    const bool turned = orientation >= 5;
    Bitmap stored(FreeImage_Allocate(turned ? kH : kW, turned ? kW : kH, 24));
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) {
        const auto [sx, sy] = storedAt[orientation](x, y);
        test::SetPixel(stored.get(), sx, sy, DistinctColor(x, y));
      }
    }
    ASSERT_TRUE(RotateByCode(stored, RotationCodeFromOrientation(orientation)));
    ASSERT_EQ(BitmapSize(stored.get()), (PixelSize{kW, kH}));
    for (int y = 0; y < kH; ++y) {
      for (int x = 0; x < kW; ++x) EXPECT_EQ(PixelAt(stored.get(), x, y), DistinctColor(x, y));
    }
  }
}

}  // namespace
}  // namespace zerva
