#include "media/image_load.h"

#include <gtest/gtest.h>

#include "media/standard_bitmap.h"
#include "media_fixtures.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

class ImageLoadTest : public ::testing::Test {
 protected:
  std::string Jpeg(const std::string& name, int width = 64, int height = 48) {
    const Bitmap image = test::PhotoLike(width, height);
    return test::SavedJpeg(image.get(), dir_.File(name));
  }
  test::TempDir dir_;
};

TEST_F(ImageLoadTest, LoadsJpegAndTiffAndReadsSizesFromTheHeader) {
  const std::string jpeg = Jpeg("a.jpg", 64, 48);
  const Bitmap tiffImage = test::DistinctPicture(5, 3);
  const std::string tiff = dir_.File("b.tif");
  ASSERT_TRUE(FreeImage_Save(FIF_TIFF, tiffImage.get(), tiff.c_str(), 0));
  for (const auto& [path, size] : {std::pair{jpeg, PixelSize{64, 48}}, {tiff, PixelSize{5, 3}}}) {
    const Bitmap image = LoadImageFile(path, LoadPurpose::kPrepare);
    ASSERT_NE(image, nullptr) << path;
    EXPECT_EQ(BitmapSize(image.get()), size);
    PixelSize read;
    EXPECT_TRUE(ReadImageSize(path, &read));
    EXPECT_EQ(read, size);
  }
  // A JPEG named like a TIFF is still read as what it is.
  const std::string misnamed = dir_.File("misnamed.tif");
  ASSERT_EQ(std::rename(jpeg.c_str(), misnamed.c_str()), 0);
  EXPECT_EQ(ImageFormatOfFile(misnamed), kFormatJpeg);
  EXPECT_NE(LoadImageFile(misnamed, LoadPurpose::kPrepare), nullptr);
}

TEST_F(ImageLoadTest, BrokenFilesFailWithAReason) {
  const std::string whole = test::ReadWholeFile(Jpeg("whole.jpg", 200, 150));
  const std::string cases[][2] = {
      {"missing.jpg", ""},
      {"empty.jpg", std::string()},
      {"text.jpg", "hello, not a picture"},
      {"header.jpg", whole.substr(0, 20)},
      {"cut.jpg", whole.substr(0, whole.size() / 2)},
      {"garbled.jpg", whole.substr(0, 400) + std::string(2000, '\x5a')},
  };
  for (const auto& [name, content] : cases) {
    SCOPED_TRACE(name);
    const std::string path = name == "missing.jpg" ? dir_.File(name) : dir_.Write(name, content);
    std::string error;
    EXPECT_EQ(LoadImageFile(path, LoadPurpose::kPrepare, &error), nullptr);
    EXPECT_EQ(error.rfind("LoadImage " + path + ": ", 0), 0u) << error;
    EXPECT_GT(error.size(), path.size() + 13) << error;
    EXPECT_EQ(LoadImageMemory(content, kFormatJpeg, JPEG_ACCURATE), nullptr);
    EXPECT_FALSE(ReadImageSize(path, nullptr) && content.size() < 100);
  }
  std::string error;
  EXPECT_EQ(LoadImageFile(dir_.File("cut.jpg"), JPEG_ACCURATE, &error), nullptr);
  EXPECT_NE(error.find("ends before the picture does"), std::string::npos) << error;
}

TEST_F(ImageLoadTest, RefusesPicturesAboveThePixelBoundBeforeDecoding) {
  const std::string path = Jpeg("big.jpg", 300, 200);
  std::string error;
  EXPECT_EQ(LoadImageFile(path, JPEG_ACCURATE, &error, 300 * 200 - 1), nullptr);
  EXPECT_NE(error.find("too large (300 x 200)"), std::string::npos) << error;
  EXPECT_NE(LoadImageFile(path, JPEG_ACCURATE, &error, 300 * 200), nullptr);
}

TEST_F(ImageLoadTest, LoadsFromMemoryByContentOrByTheGivenFormat) {
  const std::string bytes = test::ReadWholeFile(Jpeg("m.jpg", 32, 16));
  const Bitmap byContent = LoadImageMemory(bytes, kFormatUnknown, 0);
  ASSERT_NE(byContent, nullptr);
  EXPECT_EQ(BitmapSize(byContent.get()), (PixelSize{32, 16}));
  std::string error;
  EXPECT_EQ(LoadImageMemory(bytes, kFormatTiff, 0, &error, kMaxImagePixels, "m"), nullptr);
  EXPECT_EQ(error.rfind("LoadImage m: ", 0), 0u) << error;
}

TEST(MakeStandardBitmap, TurnsEveryKindOfPictureInto24BitColour) {
  // Grey, palette, 16 bits per channel and alpha: all end as 24-bit colour.
  Bitmap grey(FreeImage_Allocate(4, 2, 8));
  RGBQUAD* palette = FreeImage_GetPalette(grey.get());
  for (int i = 0; i < 256; ++i) palette[i] = {BYTE(i), BYTE(i), BYTE(i), 0};
  FreeImage_GetScanLine(grey.get(), 1)[0] = 200;  // top-left
  FreeImage_SetMetadataKeyValue(FIMD_COMMENTS, grey.get(), "Comment", "grey");
  ASSERT_TRUE(MakeStandardBitmap(grey));
  EXPECT_TRUE(IsStandardBitmap(grey.get()));
  EXPECT_EQ(test::PixelAt(grey.get(), 0, 0), (test::Rgb{200, 200, 200}));
  FITAG* tag = nullptr;
  EXPECT_TRUE(FreeImage_GetMetadata(FIMD_COMMENTS, grey.get(), "Comment", &tag));

  Bitmap deep(FreeImage_AllocateT(FIT_RGB16, 2, 2));
  auto* pixel = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(deep.get(), 1));
  pixel[0] = {65535, 32768, 0};
  ASSERT_TRUE(MakeStandardBitmap(deep));
  EXPECT_TRUE(IsStandardBitmap(deep.get()));
  EXPECT_EQ(test::PixelAt(deep.get(), 0, 0), (test::Rgb{255, 128, 0}));

  // Transparent pixels are shown over white, opaque ones keep their colour.
  Bitmap alpha(
      FreeImage_Allocate(2, 1, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
  BYTE* line = FreeImage_GetScanLine(alpha.get(), 0);
  line[FI_RGBA_RED] = 10, line[FI_RGBA_ALPHA] = 0;
  line[4 + FI_RGBA_RED] = 10, line[4 + FI_RGBA_ALPHA] = 255;
  FreeImage_SetTransparent(alpha.get(), TRUE);
  ASSERT_TRUE(MakeStandardBitmap(alpha));
  EXPECT_EQ(test::PixelAt(alpha.get(), 0, 0), (test::Rgb{255, 255, 255}));
  EXPECT_EQ(test::PixelAt(alpha.get(), 1, 0), (test::Rgb{10, 0, 0}));
}

TEST_F(ImageLoadTest, AHeaderWithoutPixelsIsNoPicture) {
  Bitmap headerOnly(FreeImage_Load(FIF_JPEG, Jpeg("h.jpg").c_str(), FIF_LOAD_NOPIXELS));
  ASSERT_NE(headerOnly, nullptr);
  EXPECT_FALSE(MakeStandardBitmap(headerOnly));
  EXPECT_FALSE(IsStandardBitmap(headerOnly.get()));
}

}  // namespace
}  // namespace zerva
