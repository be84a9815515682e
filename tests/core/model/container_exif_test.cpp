// EXIF carried by PNG, WebP and HEIF containers: the chunk walks find the block wherever it sits
// and refuse lying lengths, the reader takes date, position and orientation from real files made
// by exiftool and cwebp, and a hostile block is dropped whole.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "model/exif_carrier.h"
#include "model/exif_payload.h"
#include "model/exif_reader.h"
#include "model/heif_brand.h"
#include "model/photo.h"
#include "model/png_exif.h"
#include "model/webp_exif.h"
#include "model_fixtures.h"
#include "platform/fs.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

using namespace std::string_literals;

std::string BigEndian(uint32_t value) {
  return {static_cast<char>(value >> 24), static_cast<char>(value >> 16),
          static_cast<char>(value >> 8), static_cast<char>(value)};
}
std::string LittleEndian(uint32_t value) {
  return {static_cast<char>(value), static_cast<char>(value >> 8), static_cast<char>(value >> 16),
          static_cast<char>(value >> 24)};
}

const std::string kPngSignature = "\x89PNG\r\n\x1a\n"s;

std::string PngChunk(const std::string& type, const std::string& data) {
  return BigEndian(static_cast<uint32_t>(data.size())) + type + data + "CRC!";
}
std::string Png(const std::string& chunks) {
  return kPngSignature + PngChunk("IHDR", std::string(13, '\0')) + chunks + PngChunk("IEND", "");
}

std::string WebpChunk(const std::string& type, const std::string& data) {
  return type + LittleEndian(static_cast<uint32_t>(data.size())) + data +
         (data.size() % 2 ? "\0"s : ""s);
}
std::string Webp(const std::string& chunks) {
  return "RIFF" + LittleEndian(static_cast<uint32_t>(4 + chunks.size())) + "WEBP" + chunks;
}

// A little-endian TIFF structure with one directory: Orientation = `orientation`, and a
// Make text "Phone" stored behind the directory.
std::string TiffBlock(uint16_t orientation) {
  std::string block = "II*\0"s + LittleEndian(8);
  block += "\x02\x00"s;                                               // two entries
  block += "\x0F\x01\x02\x00"s + LittleEndian(6) + LittleEndian(38);  // Make, ASCII, 6 at 38
  block += "\x12\x01\x03\x00"s + LittleEndian(1) + static_cast<char>(orientation) + "\0\0\0"s;
  block += LittleEndian(0);  // no next directory
  block += "Phone\0"s;
  return block;
}

std::optional<std::string> PngBlock(const std::string& bytes, std::string* error = nullptr) {
  MemoryChunkSource source(bytes);
  return PngExifBlock(source, error);
}
std::optional<std::string> WebpBlock(const std::string& bytes, std::string* error = nullptr) {
  MemoryChunkSource source(bytes);
  return WebpExifBlock(source, error);
}

TEST(PngExif, TheBlockIsFoundBeforeOrAfterThePixelsWithOrWithoutItsPrefix) {
  const std::string tiff = TiffBlock(6);
  const std::string idat = PngChunk("IDAT", std::string(100, 'x'));
  EXPECT_EQ(PngBlock(Png(PngChunk("eXIf", tiff) + idat)), tiff);
  EXPECT_EQ(PngBlock(Png(idat + PngChunk("tEXt", "a\0b"s) + PngChunk("eXIf", tiff))), tiff);
  EXPECT_EQ(PngBlock(Png(PngChunk("eXIf", "Exif\0\0"s + tiff))), tiff);
  std::string error = "stale";
  EXPECT_EQ(PngBlock(Png(idat), &error), std::nullopt);
  EXPECT_EQ(error, "") << "no EXIF is no error";
  // Chunks after IEND are not the picture's.
  EXPECT_EQ(PngBlock(Png(idat) + PngChunk("eXIf", tiff)), std::nullopt);
  // A file cut after a whole chunk, without IEND, is walked to its end.
  EXPECT_EQ(PngBlock(kPngSignature + PngChunk("eXIf", tiff)), tiff);
}

TEST(PngExif, LyingLengthsAndForeignBytesEndTheWalkWithAReason) {
  const std::string tiff = TiffBlock(1);
  std::string error;
  EXPECT_EQ(PngBlock("GIF89a and more bytes", &error), std::nullopt);
  EXPECT_EQ(error, "not a PNG file");
  const std::string whole = Png(PngChunk("eXIf", tiff));
  // Cut inside the EXIF chunk, and inside a chunk header.
  EXPECT_EQ(PngBlock(whole.substr(0, 8 + 25 + 20), &error), std::nullopt);
  EXPECT_EQ(error, "a chunk runs past the end of the file");
  EXPECT_EQ(PngBlock(whole.substr(0, 8 + 25 + 5), &error), std::nullopt);
  EXPECT_EQ(error, "the file ends inside a chunk header");
  // A length that would wrap an unsigned 32-bit sum, and one above the format's limit.
  EXPECT_EQ(PngBlock(kPngSignature + "\xFF\xFF\xFF\xF8IDAT"s + tiff, &error), std::nullopt);
  EXPECT_EQ(error, "a chunk length out of range");
  EXPECT_EQ(PngBlock(kPngSignature + "\x7F\xFF\xFF\xFFIDAT"s + tiff, &error), std::nullopt);
  EXPECT_EQ(error, "a chunk runs past the end of the file");
  EXPECT_EQ(PngBlock(Png(PngChunk("eXIf", "not a TIFF structure")), &error), std::nullopt);
  EXPECT_EQ(error, "the EXIF chunk holds no TIFF structure");
  EXPECT_EQ(PngBlock(Png(PngChunk("eXIf", "II*\0"s + std::string(70000, '\0'))), &error),
            std::nullopt);
  EXPECT_EQ(error, "the EXIF chunk is too large");
  // Endless empty chunks stop at a bound.
  std::string many = kPngSignature;
  for (int i = 0; i < 200001; ++i) many += PngChunk("tEXt", "");
  EXPECT_EQ(PngBlock(many, &error), std::nullopt);
  EXPECT_EQ(error, "too many chunks");
}

TEST(WebpExif, TheBlockIsFoundBehindOddSizedChunks) {
  const std::string tiff = TiffBlock(8);
  const std::string vp8x = WebpChunk("VP8X", std::string(10, '\0'));
  const std::string odd = WebpChunk("VP8 ", std::string(101, 'p'));  // padded to 102
  EXPECT_EQ(WebpBlock(Webp(vp8x + odd + WebpChunk("EXIF", tiff))), tiff);
  EXPECT_EQ(WebpBlock(Webp(vp8x + WebpChunk("EXIF", "Exif\0\0"s + tiff) + odd)), tiff);
  std::string error = "stale";
  EXPECT_EQ(WebpBlock(Webp(vp8x + odd), &error), std::nullopt);
  EXPECT_EQ(error, "");
  // A RIFF size larger than the file (a writer that stopped early) is limited by the file.
  std::string cut = Webp(odd + WebpChunk("EXIF", tiff));
  cut.replace(4, 4, LittleEndian(0xFFFFFFF0u));
  EXPECT_EQ(WebpBlock(cut), tiff);
  // Bytes behind the RIFF size are not the picture's.
  EXPECT_EQ(WebpBlock(Webp(odd) + WebpChunk("EXIF", tiff)), std::nullopt);
}

TEST(WebpExif, LyingSizesEndTheWalkWithAReason) {
  const std::string tiff = TiffBlock(1);
  std::string error;
  EXPECT_EQ(WebpBlock("RIFF\x10\0\0\0WAVEfmt "s, &error), std::nullopt);
  EXPECT_EQ(error, "not a WebP file");
  EXPECT_EQ(WebpBlock(Webp("EXIF"s + LittleEndian(0xFFFFFFFFu) + tiff), &error), std::nullopt);
  EXPECT_EQ(error, "a chunk runs past the end of the file");
  EXPECT_EQ(WebpBlock(Webp(WebpChunk("EXIF", "MM\0+ no TIFF"s)), &error), std::nullopt);
  EXPECT_EQ(error, "the EXIF chunk holds no TIFF structure");
  std::string many;
  for (int i = 0; i < 100001; ++i) many += WebpChunk("ANMF", "");
  EXPECT_EQ(WebpBlock(Webp(many), &error), std::nullopt);
  EXPECT_EQ(error, "too many chunks");
}

TEST(ExifCarrier, TheBlockRidesInAJpegsFirstSectionUpToItsLimit) {
  const std::string tiff = TiffBlock(3);
  const std::string jpeg = JpegCarryingExif(tiff);
  ASSERT_GT(jpeg.size(), tiff.size() + 10);
  EXPECT_EQ(jpeg.substr(0, 4), "\xFF\xD8\xFF\xE1"s);
  EXPECT_EQ(jpeg.substr(6, 6 + tiff.size()), "Exif\0\0"s + tiff);
  EXPECT_EQ(jpeg.substr(jpeg.size() - 2), "\xFF\xD9"s);
  // The largest block a section holds, and one byte more.
  const std::string largest = "II*\0"s + std::string(kMaxExifPayloadBytes - 4, '\0');
  EXPECT_FALSE(JpegCarryingExif(largest).empty());
  EXPECT_TRUE(JpegCarryingExif(largest + "x").empty());
  EXPECT_TRUE(JpegCarryingExif("no TIFF structure").empty());
  std::string prefixed = "Exif\0\0MM\0*rest"s;
  EXPECT_TRUE(TakeTiffBlock(&prefixed));
  EXPECT_EQ(prefixed, "MM\0*rest"s);
  std::string shortText = "II";
  EXPECT_FALSE(TakeTiffBlock(&shortText));
}

TEST(HeifBrand, PhonePicturesAreTakenAv1PicturesAndVideosAreNot) {
  auto ftyp = [](const std::string& brands) {
    return BigEndian(static_cast<uint32_t>(8 + brands.size())) + "ftyp" + brands + "....meta";
  };
  EXPECT_EQ(IsoImageKindOf(ftyp("heic\0\0\0\0mif1heicmiaf"s)), IsoImageKind::kHeif);
  EXPECT_EQ(IsoImageKindOf(ftyp("mif1\0\0\0\0heix"s)), IsoImageKind::kHeif);
  EXPECT_EQ(IsoImageKindOf(ftyp("msf1\0\0\0\0"s)), IsoImageKind::kHeif);  // a sequence
  // The AV1 brand decides even behind the generic image brands.
  EXPECT_EQ(IsoImageKindOf(ftyp("avif\0\0\0\0avifmif1miaf"s)), IsoImageKind::kAvif);
  EXPECT_EQ(IsoImageKindOf(ftyp("mif1\0\0\0\0miafavis"s)), IsoImageKind::kAvif);
  EXPECT_EQ(IsoImageKindOf(ftyp("isom\0\0\2\0isomiso2avc1mp41"s)), IsoImageKind::kNone);
  // Brands beyond the box's size are not its own; sizes that lie are read as far as they go.
  EXPECT_EQ(IsoImageKindOf("\0\0\0\x10"
                           "ftypisom\0\0\0\0heic"s),
            IsoImageKind::kNone);
  EXPECT_EQ(IsoImageKindOf("\xFF\0\0\0"
                           "ftypisom\0\0\0\0heic"s),
            IsoImageKind::kHeif);
  EXPECT_EQ(IsoImageKindOf("\0\0\0\0"
                           "ftypheic\0\0\0\0"s),
            IsoImageKind::kHeif);
  EXPECT_EQ(IsoImageKindOf("\0\0\0\x01"
                           "ftyp\0\0\0\0\0\0\0\x20heic\0\0\0\0mif1heic"s),
            IsoImageKind::kHeif);
  EXPECT_EQ(IsoImageKindOf("\0\0\0\x18"
                           "ftyphei"s),
            IsoImageKind::kNone);
  EXPECT_EQ(IsoImageKindOf("\0\0\0\x18moovheic\0\0\0\0heic"s), IsoImageKind::kNone);
}

class ContainerExifReadTest : public ::testing::Test {
 protected:
  static bool Read(CPhoto& item) { return ReadExif(item, 100, 1200, true, {true, true}); }
  test::TempDir dir_;
};

TEST_F(ContainerExifReadTest, APngsEXifChunkGivesOrientationAndCamera) {
  // Made by hand, so that no tool decides where the chunk goes: behind the pixels.
  const std::string png = test::MakePng(dir_, "drawn.png");
  std::string bytes;
  ASSERT_TRUE(ReadFileBounded(png, 1 << 20, &bytes));
  const size_t iend = bytes.size() - 12;
  bytes.insert(iend, PngChunk("eXIf", TiffBlock(6)));
  CPhoto item;
  item.localPath = dir_.Write("late_exif.png", bytes);
  ASSERT_TRUE(Read(item));
  EXPECT_EQ(item.exifInfo.orientation, 6);
  EXPECT_EQ(item.CameraMake, "Phone");
}

TEST_F(ContainerExifReadTest, DateAndPositionFromPngAndWebpMadeByTheTools) {
  if (!test::HaveExiftool() || !test::HaveTool("cwebp")) {
    GTEST_SKIP() << "exiftool or cwebp (Debian webp) is not installed";
  }
  const std::string tags =
      "-DateTimeOriginal='2021:05:06 07:08:09' -Make=Pixel -GPSLatitude=50.1 "
      "-GPSLatitudeRef=S -GPSLongitude=14.4 -GPSLongitudeRef=W";
  const std::string png = test::MakePng(dir_, "screenshot.png");
  ASSERT_TRUE(test::Exiftool(png, tags));
  const std::string jpeg = test::MakeJpeg(dir_, "source.jpg");
  ASSERT_TRUE(test::Exiftool(jpeg, tags));
  const std::string webp = test::MakeWebp(dir_, "web.webp", jpeg, "-metadata exif");
  ASSERT_FALSE(webp.empty());
  for (const std::string& path : {png, webp}) {
    CPhoto item;
    item.localPath = path;
    ASSERT_TRUE(Read(item)) << path;
    EXPECT_EQ(item.DateTime, "2021-05-06 07:08:09") << path;
    EXPECT_EQ(item.CameraMake, "Pixel") << path;
    EXPECT_NEAR(item.gpsLatitude, -50.1, 1e-6) << path;
    EXPECT_NEAR(item.gpsLongitude, -14.4, 1e-6) << path;
  }
  // Without EXIF the file's date stands in, as for a JPEG.
  CPhoto plain;
  plain.localPath = test::MakeWebp(dir_, "plain.webp", test::MakePng(dir_, "plain.png"));
  EXPECT_FALSE(Read(plain));
  EXPECT_FALSE(plain.DateTime.empty());
}

TEST_F(ContainerExifReadTest, AHostileBlockIsDroppedWhole) {
  // A directory claiming 65535 entries in a few bytes, and a link out of the data.
  std::string lying = TiffBlock(6);
  lying[8] = '\xFF';
  lying[9] = '\xFF';
  std::string linked = TiffBlock(6);
  linked.replace(4, 4, LittleEndian(0xFFFFFFF0u));
  const std::string png = test::MakePng(dir_, "drawn.png");
  std::string bytes;
  ASSERT_TRUE(ReadFileBounded(png, 1 << 20, &bytes));
  for (const std::string& block : {lying, linked}) {
    std::string hostile = bytes;
    hostile.insert(33, PngChunk("eXIf", block));  // behind IHDR
    CPhoto item;
    item.localPath = dir_.Write("hostile.png", hostile);
    item.name = "kept";
    EXPECT_FALSE(Read(item));
    EXPECT_EQ(item.exifInfo.orientation, 0);
    EXPECT_EQ(item.name, "kept");
    std::string webp = Webp(WebpChunk("VP8X", std::string(10, '\0')) + WebpChunk("EXIF", block));
    CPhoto other;
    other.localPath = dir_.Write("hostile.webp", webp);
    EXPECT_FALSE(Read(other));
  }
}

}  // namespace
}  // namespace zerva
