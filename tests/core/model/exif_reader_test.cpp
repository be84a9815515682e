#include "model/exif_reader.h"

#include <FreeImagePlus.h>
#include <gtest/gtest.h>

#include <cstring>
#include <ctime>

#include "model/file_times.h"
#include "model/photo.h"
#include "model_fixtures.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

class ExifReaderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!test::HaveExiftool()) GTEST_SKIP() << "exiftool is not installed";
  }
  // A JPEG with the given exiftool arguments applied.
  std::string Photo(const std::string& name, const std::string& arguments, unsigned width = 64,
                    unsigned height = 48) {
    const std::string path = test::MakeJpeg(dir_, name, width, height);
    EXPECT_FALSE(path.empty());
    if (!arguments.empty()) {
      EXPECT_TRUE(test::Exiftool(path, arguments)) << arguments;
    }
    return path;
  }
  static bool Read(CPhoto& item, bool applyTexts = false, ExifTextUse use = {}) {
    return ReadExif(item, 100, 1200, applyTexts, use);
  }
  test::TempDir dir_;
};

TEST_F(ExifReaderTest, CameraValuesBecomeTheItemsTexts) {
  CPhoto item;
  item.localPath = Photo("camera.jpg",
                         "-Make=Canon -Model='EOS 5D' -DateTimeOriginal='2010:06:15 10:20:30' "
                         "-ExposureTime=0.004 -FNumber=5.6 -FocalLength=35 -ISO=100 "
                         "-EXIF:Flash#=16 -ExposureProgram#=2 -BrightnessValue=7.25 "
                         "-ExifImageWidth=4000 -ExifImageHeight=3000");
  ASSERT_TRUE(Read(item));
  EXPECT_TRUE(item.exifRead);
  EXPECT_EQ(item.CameraMake, "Canon");
  EXPECT_EQ(item.CameraModel, "EOS 5D");
  EXPECT_EQ(item.DateTime, "2010-06-15 10:20:30");
  EXPECT_EQ(item.Version, "0232");
  EXPECT_EQ(item.SourceWidth, "4000");
  EXPECT_EQ(item.SourceHeight, "3000");
  EXPECT_EQ(item.FocalLength, "35.0");
  EXPECT_EQ(item.ExposureTime, "0.004000");
  EXPECT_EQ(item.ApertureFNumber, "5.6");
  EXPECT_EQ(item.Brightness, "7.2");
  EXPECT_EQ(item.ISO, "100");
  EXPECT_EQ(item.FlashUsed, "16");
  EXPECT_EQ(item.ExposureProgram, "2");
  EXPECT_TRUE(item.ShutterSpeedValue.empty());
  // The prepared size is predicted from the EXIF size, fitted into the resolution.
  EXPECT_EQ(item.width, 1200);
  EXPECT_EQ(item.height, 900);
  EXPECT_TRUE(item.exifXmlCache.empty());
  // A second read does nothing.
  item.CameraMake = "changed";
  EXPECT_TRUE(Read(item));
  EXPECT_EQ(item.CameraMake, "changed");
}

TEST_F(ExifReaderTest, LowIsoIsMultipliedAndApexValuesFillTheGaps) {
  CPhoto low;
  // exiftool takes the shutter speed in seconds and stores its APEX value, here 8.
  low.localPath = Photo("iso.jpg", "-ISO=2 -ShutterSpeedValue#=0.00390625 -ApertureValue#=4");
  ASSERT_TRUE(Read(low));
  EXPECT_EQ(low.exifInfo.isoEquivalent, 400);
  EXPECT_DOUBLE_EQ(low.exifInfo.exposureTime, 1.0 / 256);
  EXPECT_DOUBLE_EQ(low.exifInfo.apertureFNumber, 4.0);
  EXPECT_EQ(low.ExposureTime, "0.003906");
  // ExposureTime wins over ShutterSpeedValue whatever their order.
  CPhoto both;
  both.localPath = Photo("both.jpg", "-ExposureTime=0.5 -ShutterSpeedValue#=0.00390625");
  ASSERT_TRUE(Read(both));
  EXPECT_DOUBLE_EQ(both.exifInfo.exposureTime, 0.5);
}

TEST_F(ExifReaderTest, EveryOrientationAndItsTurnedThumbnail) {
  const std::string thumb = test::MakeJpeg(dir_, "thumb.jpg", 40, 20);
  for (int orientation = 1; orientation <= 8; ++orientation) {
    CPhoto item;
    item.localPath =
        Photo("o" + std::to_string(orientation) + ".jpg",
              "-Orientation#=" + std::to_string(orientation) + " '-ThumbnailImage<=" + thumb + "'");
    ASSERT_TRUE(Read(item)) << orientation;
    EXPECT_EQ(item.exifInfo.orientation, orientation);
    EXPECT_EQ(item.Orientation, std::to_string(orientation));
    ASSERT_TRUE(item.quickImage) << orientation;
    const bool quarterTurn = orientation >= 5;  // codes 5, 1, 7, 3
    EXPECT_EQ(item.thumbWidth, quarterTurn ? 20 : 40) << orientation;
    EXPECT_EQ(item.thumbHeight, quarterTurn ? 40 : 20) << orientation;
    EXPECT_EQ(static_cast<int>(item.quickImage->getWidth()), item.thumbWidth);
  }
  CPhoto odd;
  odd.localPath = Photo("o9.jpg", "-Orientation#=9");
  ASSERT_TRUE(Read(odd));
  EXPECT_EQ(odd.exifInfo.orientation, 0);
  EXPECT_FALSE(odd.quickImage);
}

TEST_F(ExifReaderTest, GpsInAllFourHemispheres) {
  struct Case {
    const char* latRef;
    const char* lonRef;
    double lat;
    double lon;
  };
  const Case cases[] = {{"N", "E", 49.5, 16.25},
                        {"S", "E", -33.75, 151.5},
                        {"N", "W", 40.75, -73.5},
                        {"S", "W", -22.5, -43.25}};
  int n = 0;
  for (const Case& c : cases) {
    CPhoto item;
    item.localPath = Photo("gps" + std::to_string(n++) + ".jpg",
                           std::string("-GPSLatitude=") + std::to_string(std::abs(c.lat)) +
                               " -GPSLatitudeRef=" + c.latRef + " -GPSLongitude=" +
                               std::to_string(std::abs(c.lon)) + " -GPSLongitudeRef=" + c.lonRef);
    ASSERT_TRUE(Read(item));
    EXPECT_NEAR(item.gpsLatitude, c.lat, 1e-6) << c.latRef << c.lonRef;
    EXPECT_NEAR(item.gpsLongitude, c.lon, 1e-6) << c.latRef << c.lonRef;
  }
}

TEST_F(ExifReaderTest, PositionIsKeptUnlessTextsApply) {
  const std::string path = Photo("pos.jpg",
                                 "-GPSLatitude=10 -GPSLatitudeRef=N "
                                 "-GPSLongitude=20 -GPSLongitudeRef=E");
  CPhoto kept;
  kept.localPath = path;
  kept.gpsLatitude = 1.0;
  kept.gpsLongitude = 2.0;
  ASSERT_TRUE(Read(kept));
  EXPECT_DOUBLE_EQ(kept.gpsLatitude, 1.0);
  CPhoto replaced;
  replaced.localPath = path;
  replaced.gpsLatitude = 1.0;
  replaced.gpsLongitude = 2.0;
  ASSERT_TRUE(Read(replaced, true));
  EXPECT_DOUBLE_EQ(replaced.gpsLatitude, 10.0);
  EXPECT_DOUBLE_EQ(replaced.gpsLongitude, 20.0);
}

TEST_F(ExifReaderTest, DatesBefore1970AndInTheFutureAreClamped) {
  CPhoto old;
  old.localPath = Photo("old.jpg", "-DateTimeOriginal='1969:12:31 23:00:00'");
  ASSERT_TRUE(Read(old));
  EXPECT_EQ(old.DateTime, "1970-12-31 23:00:00");
  CPhoto future;
  future.localPath = Photo("future.jpg", "-DateTimeOriginal='2999:05:06 07:08:09'");
  ASSERT_TRUE(Read(future));
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  EXPECT_EQ(future.DateTime, std::to_string(local.tm_year + 1900) + "-05-06 07:08:09");
  // A zero original date falls back to DateTime.
  CPhoto zero;
  zero.localPath = Photo("zero.jpg",
                         "-DateTimeOriginal='0000:00:00 00:00:00' "
                         "-ModifyDate='2011:02:03 04:05:06'");
  ASSERT_TRUE(Read(zero));
  EXPECT_EQ(zero.DateTime, "2011-02-03 04:05:06");
}

TEST_F(ExifReaderTest, CommentsInTheirCharacterSets) {
  CPhoto unicode;
  unicode.localPath = Photo("unicode.jpg",
                            "-UserComment='Žluťoučký kůň' "
                            "-ImageDescription='Popis léta   '");
  ASSERT_TRUE(Read(unicode, true, {true, true}));
  EXPECT_EQ(unicode.exifComment, "Žluťoučký kůň");
  EXPECT_EQ(unicode.exifTitle, "Popis léta   ");
  EXPECT_EQ(unicode.name, "Popis léta");  // trailing blanks go
  EXPECT_EQ(unicode.desc, "Žluťoučký kůň");

  // Little-endian files carry their UNICODE comments little-endian too.
  CPhoto intel;
  intel.localPath = Photo("intel.jpg", "-ExifByteOrder=Little-endian -UserComment='Kůň'");
  ASSERT_TRUE(Read(intel));
  EXPECT_EQ(intel.exifComment, "Kůň");

  CPhoto ascii;
  ascii.localPath = Photo("ascii.jpg", "-UserComment='plain words'");
  ASSERT_TRUE(Read(ascii, true, {false, false}));
  EXPECT_EQ(ascii.exifComment, "plain words");
  EXPECT_TRUE(ascii.name.empty());
  EXPECT_TRUE(ascii.desc.empty());
}

TEST_F(ExifReaderTest, UndefinedCharacterSetIsAUtf8Title) {
  // exiftool writes an ASCII comment of the right length; its prefix and text are then
  // replaced by eight zero bytes and the UTF-8 title.
  const std::string title = "Léto 2010";
  const std::string path = Photo("undefined.jpg", "-ImageDescription=Other -UserComment='" +
                                                      std::string(title.size(), 'X') + "'");
  std::string bytes = test::ReadWholeFile(path);
  const std::string placeholder = std::string("ASCII\0\0\0", 8) + std::string(title.size(), 'X');
  const size_t at = bytes.find(placeholder);
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at, placeholder.size(), std::string(8, '\0') + title);
  {
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_TRUE(f);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  CPhoto item;
  item.localPath = path;
  ASSERT_TRUE(Read(item, true, {true, false}));
  EXPECT_EQ(item.exifTitle, title);
  EXPECT_TRUE(item.exifComment.empty());
  EXPECT_EQ(item.name, title);
}

TEST_F(ExifReaderTest, TiffFilesHaveExifToo) {
  const std::string path = test::MakeTiff(dir_, "scan.tif");
  ASSERT_TRUE(test::Exiftool(path, "-Make=Nikon -ISO=200 -DateTimeOriginal='2008:01:02 03:04:05'"));
  CPhoto item;
  item.localPath = path;
  ASSERT_TRUE(Read(item));
  EXPECT_EQ(item.CameraMake, "Nikon");
  EXPECT_EQ(item.ISO, "200");
  EXPECT_EQ(item.DateTime, "2008-01-02 03:04:05");
}

TEST_F(ExifReaderTest, WithoutExifTheFileDateStandsIn) {
  CPhoto item;
  item.localPath = test::MakeJpeg(dir_, "plain.jpg");
  EXPECT_FALSE(Read(item));
  EXPECT_FALSE(item.exifRead);
  EXPECT_EQ(item.DateTime, FileCreationTimeText(item.localPath));
  CPhoto broken;
  broken.localPath = dir_.Write("broken.jpg", "\xFF\xD8\xFF\xE1\x00\x10garbage");
  broken.name = "kept";
  EXPECT_FALSE(Read(broken, true, {true, true}));
  EXPECT_EQ(broken.name, "kept");
}

TEST_F(ExifReaderTest, VideosAndItemsWithoutFilesAreNotRead) {
  CPhoto video;
  video.isVideo = true;
  video.localPath = Photo("v.jpg", "-Make=X");
  EXPECT_FALSE(Read(video));
  EXPECT_TRUE(video.DateTime.empty());
  CPhoto none;
  EXPECT_FALSE(Read(none));
}

}  // namespace
}  // namespace zerva
