#include "media/image_save.h"

#include <gtest/gtest.h>

#include "media/image_load.h"
#include "media_fixtures.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

TEST(SaveJpeg, QualityDecidesTheSizeAndIsClamped) {
  test::TempDir dir;
  const Bitmap image = test::PhotoLike(200, 150);
  int64_t previous = 0;
  for (int quality : {10, 50, 85, 100}) {
    const std::string path = dir.File("q" + std::to_string(quality) + ".jpg");
    ASSERT_TRUE(SaveJpeg(image.get(), path, quality));
    EXPECT_GT(test::ReadWholeFile(path).size(), static_cast<size_t>(previous)) << quality;
    previous = static_cast<int64_t>(test::ReadWholeFile(path).size());
  }
  ASSERT_TRUE(SaveJpeg(image.get(), dir.File("over.jpg"), 1000));
  EXPECT_EQ(test::ReadWholeFile(dir.File("over.jpg")), test::ReadWholeFile(dir.File("q100.jpg")));
  ASSERT_TRUE(SaveJpeg(image.get(), dir.File("zero.jpg"), 0));
  EXPECT_LT(test::ReadWholeFile(dir.File("zero.jpg")).size(),
            test::ReadWholeFile(dir.File("q10.jpg")).size());
  const Bitmap loaded = LoadImageFile(dir.File("q85.jpg"), JPEG_ACCURATE);
  ASSERT_NE(loaded, nullptr);
  EXPECT_EQ(BitmapSize(loaded.get()), (PixelSize{200, 150}));
}

TEST(SaveJpeg, WritesPicturesOfAnyDepthThroughAStandardCopy) {
  test::TempDir dir;
  Bitmap rgba(
      FreeImage_Allocate(4, 4, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
  ASSERT_TRUE(SaveJpeg(rgba.get(), dir.File("a.jpg"), 90));
  EXPECT_EQ(FreeImage_GetBPP(rgba.get()), 32u);  // the caller's picture stays as it was
  Bitmap deep(FreeImage_AllocateT(FIT_RGB16, 4, 4));
  EXPECT_TRUE(SaveJpeg(deep.get(), dir.File("b.jpg"), 90));
}

TEST(SaveJpeg, AFailureLeavesThePreviousFileAndNoLeftovers) {
  test::TempDir dir;
  const Bitmap image = test::PhotoLike(20, 10);
  const std::string path = dir.Write("old.jpg", "previous content");
  std::string error;
  EXPECT_FALSE(SaveJpeg(nullptr, path, 85, &error));
  EXPECT_EQ(error.rfind("SaveJpeg " + path + ": ", 0), 0u) << error;
  EXPECT_EQ(test::ReadWholeFile(path), "previous content");
  EXPECT_FALSE(SaveJpeg(image.get(), dir.File("missing/x.jpg"), 85, &error));
  EXPECT_EQ(test::FolderNames(dir.Path()), std::vector<std::string>{"old.jpg"});
  ASSERT_TRUE(SaveJpeg(image.get(), path, 85));
  EXPECT_EQ(test::FolderNames(dir.Path()), std::vector<std::string>{"old.jpg"});
  EXPECT_NE(test::ReadWholeFile(path), "previous content");
}

TEST(EncodeJpeg, GivesTheBytesOfTheFile) {
  test::TempDir dir;
  const Bitmap image = test::PhotoLike(20, 10);
  std::string bytes;
  ASSERT_TRUE(EncodeJpeg(image.get(), 70, &bytes));
  ASSERT_TRUE(SaveJpeg(image.get(), dir.File("e.jpg"), 70));
  EXPECT_EQ(bytes, test::ReadWholeFile(dir.File("e.jpg")));
  EXPECT_FALSE(EncodeJpeg(image.get(), 70, nullptr));
}

}  // namespace
}  // namespace zerva
