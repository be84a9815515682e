// Pictures other than JPEG photos are prepared into JPEG files like any photo: transparency laid
// over white, 16 bits per channel brought to 8, an animation's first frame taken, and the
// original never sent in place of a prepared file unless it is a JPEG.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

#include "item_fixtures.h"
#include "media/image_load.h"
#include "media/make_image.h"
#include "media/prepared_cache.h"
#include "support/external_tools.h"

namespace zerva {
namespace {

using test::FileBytes;
using test::FileImageSize;
using test::HaveTool;
using test::Near;
using test::PixelAt;
using test::Rgb;

// Left half fully transparent red, right half opaque blue.
std::string HalfTransparentPng(const test::TempDir& dir, const std::string& name, int width,
                               int height) {
  Bitmap image(FreeImage_Allocate(width, height, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                  FI_RGBA_BLUE_MASK));
  for (int y = 0; y < height; ++y) {
    BYTE* line = FreeImage_GetScanLine(image.get(), y);
    for (int x = 0; x < width; ++x) {
      const bool left = x < width / 2;
      line[4 * x + FI_RGBA_RED] = left ? 255 : 0;
      line[4 * x + FI_RGBA_GREEN] = 0;
      line[4 * x + FI_RGBA_BLUE] = left ? 0 : 255;
      line[4 * x + FI_RGBA_ALPHA] = left ? 0 : 255;
    }
  }
  const std::string path = dir.File(name);
  return FreeImage_Save(FIF_PNG, image.get(), path.c_str(), 0) ? path : std::string();
}

// One solid colour: compressed, the PNG is far smaller than any JPEG of it.
std::string FlatPng(const test::TempDir& dir, const std::string& name, int width, int height) {
  Bitmap image(FreeImage_Allocate(width, height, 24, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                  FI_RGBA_BLUE_MASK));
  RGBQUAD green{0, 160, 0, 0};
  FreeImage_FillBackground(image.get(), &green, 0);
  const std::string path = dir.File(name);
  return FreeImage_Save(FIF_PNG, image.get(), path.c_str(), 0) ? path : std::string();
}

class PictureTypesTest : public ::testing::Test {
 protected:
  MakeImageInputs Inputs(const std::string& source, int sizeImage = 1200) {
    return test::UploadInputs(settings_, source, sizeImage);
  }
  // Prepares `source` and loads the image that would be sent, which must be a JPEG.
  Bitmap Prepared(const std::string& source, bool useOriginal = true, int sizeImage = 1200) {
    auto item = test::PhotoItem(source, "p.jpg");
    MakeImageInputs in = Inputs(source, sizeImage);
    in.useOriginal = useOriginal;
    error_.clear();
    if (!MakeImageFiles(*item, in, settings_, nullptr, &error_)) return {};
    EXPECT_EQ(ImageFormatOfFile(in.imagePath), kFormatJpeg);
    EXPECT_EQ(ImageFormatOfFile(in.thumbPath), kFormatJpeg);
    return LoadImageFile(in.imagePath, 0);
  }

  test::TempDir dir_;
  PreparationSettings settings_ = test::TestSettings(dir_);
  std::string error_;
};

TEST_F(PictureTypesTest, TransparencyIsLaidOverWhite) {
  const Bitmap image = Prepared(HalfTransparentPng(dir_, "logo.png", 200, 100));
  ASSERT_NE(image, nullptr) << error_;
  EXPECT_EQ(BitmapSize(image.get()), (PixelSize{200, 100}));
  EXPECT_EQ(FreeImage_GetBPP(image.get()), 24u);
  EXPECT_TRUE(Near(PixelAt(image.get(), 20, 50), (Rgb{255, 255, 255})));
  EXPECT_TRUE(Near(PixelAt(image.get(), 180, 50), (Rgb{0, 0, 255})));
}

TEST_F(PictureTypesTest, SixteenBitsPerChannelBecomeEight) {
  Bitmap deep(FreeImage_AllocateT(FIT_RGB16, 120, 80));
  for (int y = 0; y < 80; ++y) {
    auto* line = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(deep.get(), y));
    for (int x = 0; x < 120; ++x) line[x] = FIRGB16{65535, 0, 32896};
  }
  const std::string path = dir_.File("deep.png");
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, deep.get(), path.c_str(), 0));
  const Bitmap image = Prepared(path);
  ASSERT_NE(image, nullptr) << error_;
  EXPECT_TRUE(Near(PixelAt(image.get(), 60, 40), (Rgb{255, 0, 128})))
      << PixelAt(image.get(), 60, 40).r << " " << PixelAt(image.get(), 60, 40).b;
}

// A PNG saved as ".jpg" is prepared as the PNG it is; the service never gets it as the "original".
TEST_F(PictureTypesTest, APngNamedJpgIsNeverSentAsTheOriginal) {
  const std::string png = FlatPng(dir_, "shot.jpg", 1000, 800);
  auto item = test::PhotoItem(png, "p.jpg");
  EXPECT_EQ(item->imageFormat, kFormatPng);
  MakeImageInputs in = Inputs(png);
  in.useOriginal = true;  // a VIP's small originals go unchanged, JPEG ones
  ASSERT_TRUE(MakeImageFiles(*item, in, settings_, nullptr, &error_)) << error_;
  EXPECT_EQ(ImageFormatOfFile(in.imagePath), kFormatJpeg);
  EXPECT_NE(FileBytes(in.imagePath), FileBytes(png));
  EXPECT_EQ(FileImageSize(in.imagePath), (PixelSize{1000, 800}));
  EXPECT_EQ(item->imageSize, FileSize(in.imagePath));

  // An HD copy larger than the tiny PNG is still the JPEG re-encoding.
  const std::string large = FlatPng(dir_, "large.jpg", 3000, 2000);
  auto hd = test::PhotoItem(large, "p.jpg");
  hd->isHdPhoto = true;
  const MakeImageInputs hdIn = Inputs(large);
  ASSERT_TRUE(MakeImageFiles(*hd, hdIn, settings_, nullptr, &error_)) << error_;
  EXPECT_EQ(ImageFormatOfFile(hdIn.hdPath), kFormatJpeg);
  EXPECT_GT(FileSize(hdIn.hdPath), FileSize(large));
  EXPECT_EQ(FileImageSize(hdIn.hdPath), (PixelSize{3000, 2000}));
  EXPECT_EQ(ImageFormatOfFile(hdIn.imagePath), kFormatJpeg);
}

TEST_F(PictureTypesTest, AJpegNamedJpegIsAnOriginalLikeAnyJpg) {
  const std::string source = test::PhotoFile(dir_, "small.jpeg", 1000, 800);
  auto item = test::PhotoItem(source, "small.jpg");
  MakeImageInputs in = Inputs(source);
  in.useOriginal = true;
  ASSERT_TRUE(MakeImageFiles(*item, in, settings_, nullptr, &error_)) << error_;
  EXPECT_EQ(FileBytes(in.imagePath), FileBytes(source));
}

TEST_F(PictureTypesTest, WebpStillsAndTheFirstFrameOfAnAnimation) {
  if (!HaveTool("cwebp") || !HaveTool("img2webp")) {
    GTEST_SKIP() << "cwebp or img2webp (Debian webp) is not installed";
  }
  const std::string still = dir_.File("still.webp");
  const std::string half = HalfTransparentPng(dir_, "half.png", 160, 90);
  ASSERT_EQ(std::system(("cwebp -quiet '" + half + "' -o '" + still + "'").c_str()), 0);
  Bitmap image = Prepared(still);
  ASSERT_NE(image, nullptr) << error_;
  EXPECT_EQ(BitmapSize(image.get()), (PixelSize{160, 90}));
  EXPECT_TRUE(Near(PixelAt(image.get(), 10, 45), (Rgb{255, 255, 255})));
  EXPECT_TRUE(Near(PixelAt(image.get(), 150, 45), (Rgb{0, 0, 255})));

  // Red, then blue: the photo is the first frame.
  Bitmap red(FreeImage_Allocate(64, 48, 24));
  RGBQUAD redColor{0, 0, 255, 0}, blueColor{255, 0, 0, 0};
  FreeImage_FillBackground(red.get(), &redColor, 0);
  Bitmap blue(FreeImage_Allocate(64, 48, 24));
  FreeImage_FillBackground(blue.get(), &blueColor, 0);
  const std::string redPng = dir_.File("red.png"), bluePng = dir_.File("blue.png");
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, red.get(), redPng.c_str(), 0));
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, blue.get(), bluePng.c_str(), 0));
  const std::string animated = dir_.File("moving.webp");
  ASSERT_EQ(std::system(("img2webp -q 90 '" + redPng + "' '" + bluePng + "' -o '" + animated +
                         "' >/dev/null 2>&1")
                            .c_str()),
            0);
  image = Prepared(animated);
  ASSERT_NE(image, nullptr) << error_;
  EXPECT_EQ(BitmapSize(image.get()), (PixelSize{64, 48}));
  EXPECT_TRUE(Near(PixelAt(image.get(), 32, 24), (Rgb{255, 0, 0})));

  // Text under a WebP name fails by name, nothing is written.
  const std::string text = dir_.Write("notes.webp", "not a picture\n");
  auto item = test::PhotoItem(text, "p.jpg");
  const MakeImageInputs in = Inputs(text);
  ::unlink(in.imagePath.c_str());
  EXPECT_FALSE(MakeImageFiles(*item, in, settings_, nullptr, &error_));
  EXPECT_EQ(error_.rfind("LoadImage " + text + ": ", 0), 0u) << error_;
  EXPECT_FALSE(FileExists(in.imagePath));
}

}  // namespace
}  // namespace zerva
