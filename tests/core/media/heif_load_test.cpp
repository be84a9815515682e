// HEIF photos as phones save them: recognised by content, decoded upright, dated and placed from
// their EXIF, transparency and 10-bit pictures made standard, damaged files refused by name.
#include "media/heif_load.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <future>

#include "heif_fixtures.h"
#include "item_fixtures.h"
#include "media/jpeg_fit_load.h"
#include "media/make_image.h"
#include "media/prepared_cache.h"
#include "media/standard_bitmap.h"
#include "model/exif_block.h"
#include "model/exif_reader.h"
#include "model/jpeg_orientation.h"

// In sanitizer builds: the HEVC encoder behind libheif, which only the fixtures use, keeps a few
// global tables to the end of the process.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libx265.so\n";
}

namespace zerva {
namespace {

using test::Near;
using test::PixelAt;
using test::Rgb;

constexpr Rgb kRed{255, 0, 0}, kGreen{0, 255, 0}, kBlue{0, 0, 255}, kWhite{255, 255, 255};

class HeifLoadTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveHeifTools()) GTEST_SKIP() << "heif-enc or exiftool is not installed";
  }

  // Red top-left, green top-right, blue bottom-left, white bottom-right, as stored.
  std::string Quadrants(const std::string& name, int width = 64, int height = 48) {
    return test::QuadrantFile(dir_, name, width, height);
  }

  // Prepares the item as an upload does: its EXIF read, the camera's turn taken, the files made.
  bool Prepare(CPhoto& item, MakeImageInputs* in, int sizeImage = 1200) {
    EXPECT_TRUE(ReadExif(item, 100, sizeImage, false, {}));
    if (item.exifRead && item.exifInfo.orientation > 1) {
      item.rotate = RotationCodeFromOrientation(item.exifInfo.orientation);
    }
    *in = test::UploadInputs(settings_, item.localPath, sizeImage);
    return MakeImageFiles(item, *in, settings_, nullptr, &error_);
  }

  // The quadrants of a stored 64 x 48 picture after a quarter turn clockwise.
  static void ExpectTurnedClockwise(FIBITMAP* image) {
    ASSERT_EQ(BitmapSize(image), (PixelSize{48, 64}));
    EXPECT_TRUE(Near(PixelAt(image, 4, 4), kBlue));
    EXPECT_TRUE(Near(PixelAt(image, 43, 4), kRed));
    EXPECT_TRUE(Near(PixelAt(image, 4, 59), kWhite));
    EXPECT_TRUE(Near(PixelAt(image, 43, 59), kGreen));
  }

  test::TempDir dir_;
  PreparationSettings settings_ = test::TestSettings(dir_);
  std::string error_;
};

TEST(HeifSniffTest, TakesHeifBrandsByContentAndNothingElse) {
  auto head = [](std::string_view major, std::string_view compatible) {
    std::string box("\0\0\0\0ftyp", 8);
    box += major;
    box += std::string("\0\0\0\0", 4);
    box += compatible;
    box[3] = static_cast<char>(box.size());
    return box + std::string("\0\0\0\x08mdat", 8);
  };
  EXPECT_TRUE(LooksLikeHeif(head("heic", "mif1heic")));
  EXPECT_TRUE(LooksLikeHeif(head("mif1", "")));
  EXPECT_TRUE(LooksLikeHeif(head("msf1", "hevc")));  // an image sequence
  EXPECT_TRUE(LooksLikeHeif(head("isom", "heix")));  // known only as a compatible brand
  EXPECT_FALSE(LooksLikeHeif(head("avif", "mif1avif").replace(16, 4, "miaf")));
  EXPECT_FALSE(LooksLikeHeif(head("avif", "avis")));
  EXPECT_FALSE(LooksLikeHeif(head("avif", "mif1avif")));  // AVIF names the common brand too
  EXPECT_FALSE(LooksLikeHeif(head("isom", "mp41")));      // a video
  // A compatible brand beyond the box's own size does not count.
  std::string cut = head("isom", "heic");
  cut[3] = 16;
  EXPECT_FALSE(LooksLikeHeif(cut));
  EXPECT_FALSE(LooksLikeHeif(head("heic", "").substr(0, 11)));
  EXPECT_FALSE(LooksLikeHeif(std::string("\xFF\xD8\xFF\xE0", 4) + std::string(20, '\0')));
}

TEST_F(HeifLoadTest, PortraitWithCameraTurnArrivesUprightWithDateAndPosition) {
  // heif-enc keeps the JPEG's EXIF (orientation 6) and stores the pixels as they are, without a
  // container turn: the camera's turn is then ours to make, as for a JPEG.
  const std::string jpeg = Quadrants("portrait.jpg");
  ASSERT_TRUE(test::Exiftool(jpeg,
                             "-EXIF:Orientation#=6 -DateTimeOriginal='2024:05:06 07:08:09' "
                             "-Make=Phone -GPSLatitude=50.5 -GPSLatitudeRef=N "
                             "-GPSLongitude=14.25 -GPSLongitudeRef=W"));
  const std::string heic = test::HeifOf(dir_, jpeg, "IMG_0001.HEIC");
  ASSERT_FALSE(heic.empty());
  EXPECT_EQ(ImageFormatOfFile(heic), kFormatHeif);
  PixelSize size;
  ASSERT_TRUE(ReadImageSize(heic, &size));
  EXPECT_EQ(size, (PixelSize{64, 48}));

  auto item = test::PhotoItem(heic, "IMG_0001.jpg");
  MakeImageInputs in;
  ASSERT_TRUE(Prepare(*item, &in)) << error_;
  EXPECT_EQ(item->exifInfo.orientation, 6);
  EXPECT_EQ(item->Orientation, "6");
  EXPECT_EQ(item->DateTime, "2024-05-06 07:08:09");
  EXPECT_EQ(item->CameraMake, "Phone");
  EXPECT_DOUBLE_EQ(item->gpsLatitude, 50.5);
  EXPECT_DOUBLE_EQ(item->gpsLongitude, -14.25);

  const Bitmap image = LoadImageFile(in.imagePath, LoadPurpose::kPrepare);
  ASSERT_NE(image, nullptr);
  ExpectTurnedClockwise(image.get());
  EXPECT_EQ(ImageFormatOfFile(in.imagePath), kFormatJpeg);
  EXPECT_EQ(test::FileImageSize(in.thumbPath), (PixelSize{48, 64}));
  // The prepared JPEG keeps the photo's EXIF, its orientation now normal, so no viewer turns it
  // a second time.
  CPhoto prepared;
  prepared.localPath = in.imagePath;
  ASSERT_TRUE(ReadExif(prepared, 100, 1200, false, {}));
  EXPECT_EQ(prepared.DateTime, "2024-05-06 07:08:09");
  EXPECT_EQ(prepared.exifInfo.orientation, 1);
}

TEST_F(HeifLoadTest, AContainerTurnIsAppliedOnceWhateverTheExifOrientationSays) {
  // As phones write them: the pixels stored sideways, the container turning them, and the EXIF
  // orientation repeating the same turn.
  const Bitmap stored = LoadImageFile(Quadrants("q.jpg"), LoadPurpose::kPrepare);
  ASSERT_NE(stored, nullptr);
  const std::string heic =
      test::EncodedHeif(dir_, "turned.heic", stored.get(), heif_orientation_rotate_90_cw);
  ASSERT_FALSE(heic.empty());
  ASSERT_TRUE(test::Exiftool(heic, "-EXIF:Orientation#=6 -DateTimeOriginal='2023:01:02 03:04:05'"));

  const Bitmap decoded = LoadImageFile(heic, LoadPurpose::kPreview);
  ASSERT_NE(decoded, nullptr);
  ExpectTurnedClockwise(decoded.get());
  PixelSize size;
  ASSERT_TRUE(ReadImageSize(heic, &size));
  EXPECT_EQ(size, (PixelSize{48, 64}));

  auto item = test::PhotoItem(heic, "turned.jpg");
  MakeImageInputs in;
  ASSERT_TRUE(Prepare(*item, &in)) << error_;
  EXPECT_EQ(item->rotate, 0);
  EXPECT_EQ(item->exifInfo.orientation, 1);
  EXPECT_EQ(item->Orientation, "6");  // the photo's details still show what the camera wrote
  EXPECT_EQ(item->DateTime, "2023-01-02 03:04:05");
  const Bitmap image = LoadImageFile(in.imagePath, LoadPurpose::kPrepare);
  ASSERT_NE(image, nullptr);
  ExpectTurnedClockwise(image.get());
  CPhoto prepared;
  prepared.localPath = in.imagePath;
  ASSERT_TRUE(ReadExif(prepared, 100, 1200, false, {}));
  EXPECT_EQ(prepared.exifInfo.orientation, 1);
}

TEST_F(HeifLoadTest, TransparencyIsLaidOverWhiteAndTenBitsBecomeEight) {
  Bitmap picture(
      FreeImage_Allocate(32, 16, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
  for (int y = 0; y < 16; ++y) {
    BYTE* line = FreeImage_GetScanLine(picture.get(), y);
    for (int x = 0; x < 32; ++x, line += 4) {
      line[FI_RGBA_RED] = 0;
      line[FI_RGBA_GREEN] = 0;
      line[FI_RGBA_BLUE] = 200;
      line[FI_RGBA_ALPHA] = x < 16 ? 0 : 255;  // the left half fully transparent
    }
  }
  const std::string png = dir_.File("alpha.png");
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, picture.get(), png.c_str(), 0));
  const std::string heic = test::HeifOf(dir_, png, "alpha.heic");
  ASSERT_FALSE(heic.empty());
  Bitmap image = LoadImageFile(heic, LoadPurpose::kPrepare);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(FreeImage_GetBPP(image.get()), 32u);
  ASSERT_TRUE(MakeStandardBitmap(image));
  EXPECT_TRUE(Near(PixelAt(image.get(), 4, 8), kWhite));
  EXPECT_TRUE(Near(PixelAt(image.get(), 28, 8), (Rgb{0, 0, 200})));
  // What preparation loads is already flattened.
  const Bitmap fitted = LoadForFit(heic, 1200);
  ASSERT_NE(fitted, nullptr);
  EXPECT_TRUE(IsStandardBitmap(fitted.get()));
  EXPECT_TRUE(Near(PixelAt(fitted.get(), 4, 8), kWhite));

  Bitmap deep(FreeImage_AllocateT(FIT_RGB16, 32, 16));
  for (int y = 0; y < 16; ++y) {
    auto* line = reinterpret_cast<FIRGB16*>(FreeImage_GetScanLine(deep.get(), y));
    for (int x = 0; x < 32; ++x) line[x] = {0xC000, 0x4000, 0x8000};
  }
  const std::string png16 = dir_.File("deep.png");
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, deep.get(), png16.c_str(), 0));
  const std::string heic10 = test::HeifOf(dir_, png16, "deep.heic", "-q 95 -b 10");
  ASSERT_FALSE(heic10.empty());
  const Bitmap eight = LoadImageFile(heic10, LoadPurpose::kPrepare);
  ASSERT_NE(eight, nullptr);
  EXPECT_TRUE(IsStandardBitmap(eight.get()));
  EXPECT_LT(test::MaxChannelDifference(PixelAt(eight.get(), 10, 8), (Rgb{192, 64, 128})), 12);
}

TEST_F(HeifLoadTest, AFileOfSeveralPicturesGivesItsPrimaryOne) {
  const std::string first = test::PhotoFile(dir_, "first.jpg", 64, 48);
  const std::string second = test::PhotoFile(dir_, "second.jpg", 32, 80);
  const std::string heic = dir_.File("burst.heic");
  ASSERT_TRUE(
      test::RunQuietly("heif-enc -q 50 -o '" + heic + "' '" + first + "' '" + second + "'"));
  PixelSize size;
  ASSERT_TRUE(ReadImageSize(heic, &size));
  EXPECT_EQ(size, (PixelSize{64, 48}));
  const Bitmap image = LoadForFit(heic, 1200);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(BitmapSize(image.get()), (PixelSize{64, 48}));
}

TEST_F(HeifLoadTest, WideGamutColoursBecomeSrgb) {
  // One flat colour in Display P3, once named by an nclx colour box and once by an ICC profile.
  Bitmap flat(
      FreeImage_Allocate(32, 32, 24, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) test::SetPixel(flat.get(), x, y, {200, 60, 60});
  }
  const std::string plain = dir_.File("flat.png");
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, flat.get(), plain.c_str(), 0));
  const std::string nclx =
      test::EncodedHeif(dir_, "nclx.heic", flat.get(), heif_orientation_normal, 12);
  ASSERT_FALSE(nclx.empty());
  const std::string profile = test::DisplayP3Profile();
  ASSERT_FALSE(profile.empty());
  ASSERT_NE(FreeImage_CreateICCProfile(flat.get(), const_cast<char*>(profile.data()),
                                       static_cast<long>(profile.size())),
            nullptr);
  const std::string tagged = dir_.File("tagged.png");
  ASSERT_TRUE(FreeImage_Save(FIF_PNG, flat.get(), tagged.c_str(), 0));
  const std::string icc = test::HeifOf(dir_, tagged, "icc.heic", "-q 98");
  ASSERT_FALSE(icc.empty());
  const std::string srgb = test::HeifOf(dir_, plain, "srgb.heic", "-q 98");
  ASSERT_FALSE(srgb.empty());

  const Bitmap same = LoadImageFile(srgb, LoadPurpose::kPrepare);
  ASSERT_NE(same, nullptr);
  EXPECT_LT(test::MaxChannelDifference(PixelAt(same.get(), 16, 16), (Rgb{200, 60, 60})), 6);
  for (const std::string& path : {nclx, icc}) {
    SCOPED_TRACE(path);
    const Bitmap image = LoadImageFile(path, LoadPurpose::kPrepare);
    ASSERT_NE(image, nullptr);
    // The P3 red lies outside what sRGB's (200, 60, 60) shows: redder, less green.
    const Rgb c = PixelAt(image.get(), 16, 16);
    EXPECT_GT(c.r, 210) << c.r << " " << c.g << " " << c.b;
    EXPECT_LT(c.g, 50) << c.r << " " << c.g << " " << c.b;
    // The pixels are sRGB now: no profile goes with them to be applied a second time.
    EXPECT_EQ(FreeImage_GetICCProfile(image.get())->size, 0);
  }
}

TEST_F(HeifLoadTest, DamagedFilesAreNamedFailuresAndNothingHangs) {
  const std::string heic = test::HeifOf(dir_, test::PhotoFile(dir_, "p.jpg", 320, 240), "p.heic");
  ASSERT_FALSE(heic.empty());
  const std::string whole = test::ReadWholeFile(heic);
  const std::string cases[][2] = {
      {"header.heic", whole.substr(0, 40)},
      {"cut.heic", whole.substr(0, whole.size() * 2 / 3)},
      {"huge.heic", test::WithClaimedSize(whole, 60000, 60000)},
      {"giant.heic", test::WithClaimedSize(whole, 1000000, 1000000)},
      {"empty.heic", test::WithClaimedSize(whole, 0, 0)},
  };
  for (const auto& [name, content] : cases) {
    SCOPED_TRACE(name);
    const std::string path = dir_.Write(name, content);
    auto loading = std::async(std::launch::async, [path, data = content] {
      std::string fileError, memoryError;
      const bool fileLoaded = LoadImageFile(path, LoadPurpose::kPrepare, &fileError) != nullptr;
      const bool memoryLoaded = LoadImageMemory(data, kFormatUnknown, 0, &memoryError) != nullptr;
      return std::tuple{fileLoaded, fileError, memoryLoaded, memoryError};
    });
    ASSERT_EQ(loading.wait_for(std::chrono::seconds(30)), std::future_status::ready);
    const auto [fileLoaded, fileError, memoryLoaded, memoryError] = loading.get();
    EXPECT_FALSE(fileLoaded);
    EXPECT_FALSE(memoryLoaded);
    EXPECT_EQ(fileError.rfind("LoadImage " + path + ": ", 0), 0u) << fileError;
    EXPECT_GT(fileError.size(), path.size() + 13) << fileError;
    EXPECT_EQ(memoryError.rfind("LoadImage: ", 0), 0u) << memoryError;
  }
  // The size a file claims is refused before anything is decoded, and so is a coded picture
  // larger than the size claimed: the decoder would allocate by the coded size.
  std::string error;
  const std::string larger =
      test::HeifOf(dir_, test::PhotoFile(dir_, "larger.jpg", 640, 480), "larger.heic");
  ASSERT_FALSE(larger.empty());
  const std::string understated =
      dir_.Write("understated.heic", test::WithClaimedSize(test::ReadWholeFile(larger), 64, 48));
  EXPECT_EQ(LoadImageFile(understated, LoadPurpose::kPrepare, &error), nullptr);
  EXPECT_NE(error.find("coded picture is larger"), std::string::npos) << error;
  EXPECT_NE(LoadImageFile(larger, LoadPurpose::kPrepare, &error), nullptr) << error;
  EXPECT_EQ(LoadImageFile(dir_.File("huge.heic"), LoadPurpose::kPrepare, &error), nullptr);
  EXPECT_NE(error.find("too large (60000 x 60000)"), std::string::npos) << error;
  EXPECT_EQ(LoadHeifFile(heic, &error, 320 * 240 - 1), nullptr);
  EXPECT_NE(LoadHeifFile(heic, &error, 320 * 240), nullptr) << error;
  // A FIFO carrying a photo's name is never waited on.
  const std::string fifo = dir_.File("fifo.heic");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_EQ(ImageFormatOfFile(fifo), kFormatUnknown);
  EXPECT_EQ(LoadHeifFile(fifo, &error), nullptr);
  EXPECT_FALSE(ReadImageSize(fifo, nullptr));
  CPhoto item;
  item.localPath = fifo;
  EXPECT_FALSE(ReadExifMetadata(item));
}

TEST_F(HeifLoadTest, HostileExifInAHeifIsRefusedWhileThePictureStillLoads) {
  const std::string jpeg = test::PhotoFile(dir_, "p.jpg", 64, 48);
  ASSERT_TRUE(test::Exiftool(jpeg, "-DateTimeOriginal='2024:05:06 07:08:09'"));
  const std::string heic = test::HeifOf(dir_, jpeg, "p.heic");
  ASSERT_FALSE(heic.empty());
  // The first directory's entry count made huge: the reader would walk far past the data.
  std::string bytes = test::ReadWholeFile(heic);
  const size_t tiff = bytes.find(std::string("MM\0*", 4));
  const size_t intel = bytes.find(std::string("II*\0", 4));
  const size_t at = tiff != std::string::npos ? tiff : intel;
  ASSERT_NE(at, std::string::npos);
  const bool motorola = at == tiff;
  const uint32_t first =
      motorola ? (static_cast<uint8_t>(bytes[at + 6]) << 8 | static_cast<uint8_t>(bytes[at + 7]))
               : (static_cast<uint8_t>(bytes[at + 4]) | static_cast<uint8_t>(bytes[at + 5]) << 8);
  bytes[at + first] = '\xFF';
  bytes[at + first + 1] = '\xFF';
  const std::string hostile = dir_.Write("hostile.heic", bytes);
  CPhoto item;
  item.localPath = hostile;
  EXPECT_FALSE(ReadExifMetadata(item));
  EXPECT_FALSE(item.exifRead);
  const Bitmap image = LoadImageFile(hostile, LoadPurpose::kPrepare);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(FreeImage_GetMetadataCount(FIMD_EXIF_RAW, image.get()), 0u);
  // The sound original gives its EXIF to the bitmap, for the prepared JPEG.
  const Bitmap sound = LoadImageFile(heic, LoadPurpose::kPrepare);
  ASSERT_NE(sound, nullptr);
  EXPECT_EQ(FreeImage_GetMetadataCount(FIMD_EXIF_RAW, sound.get()), 1u);
}

}  // namespace
}  // namespace zerva
