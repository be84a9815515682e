#include <gtest/gtest.h>

#include <clocale>

#include "app/elements.h"
#include "model/photo.h"

namespace zerva {
namespace {

TEST(PhotoXml, WritesTheElementsInOrderWithTabs) {
  CPhoto p;
  p.photoID = 17;
  p.name = "Sunset";
  p.fileName = "sunset.jpg";
  p.fileSize = 1000;
  p.fileSizeOriginal = 5000;
  p.width = 800;
  p.height = 600;
  p.index = 3;
  p.CameraMake = "Canon";
  p.rotate = 1;
  p.OriginalCode = 1276590000;
  p.localPath = "/home/u/pics/sunset.JPG";
  p.hasWatermark = true;
  EXPECT_EQ(p.ToXml(),
            "<photo>\t<photoID>17</photoID>\t<name>Sunset</name>\t<desc></desc>"
            "\t<fileName>sunset.jpg</fileName>\t<autorID></autorID>\t<fileSize>1000</fileSize>"
            "\t<fileSizeOriginal>5000</fileSizeOriginal>\t<width>800</width>"
            "\t<height>600</height>\t<index>3</index>\t<exif><CameraMake>Canon</CameraMake>"
            "</exif>\t<GPS></GPS>\t<public>1</public>\t<rotate>1</rotate>"
            "\t<OriginalCode>1276590000</OriginalCode>"
            "\t<fileFullName>/home/u/pics/sunset.JPG</fileFullName>\t<type>photo</type>"
            "\t<isVideo>0</isVideo>\t<isHdPhoto>0</isHdPhoto>\t<hasWatermark>1</hasWatermark>"
            "</photo>\n");
  EXPECT_EQ(p.exifXmlCache, "<CameraMake>Canon</CameraMake>");
}

TEST(PhotoXml, ExcludedItemIsSentAsNeverPrepared) {
  CPhoto p;
  p.included = false;
  p.OriginalCode = 123456;
  const std::string xml = p.ToXml();
  EXPECT_EQ(GetElement(xml, "public"), "0");
  EXPECT_NE(xml.find("\t<OriginalCode>0</OriginalCode>"), std::string::npos);
}

TEST(PhotoXml, HdSizesOnlyForHdPhotosAndTypeOfVideos) {
  CPhoto p;
  p.hdwidth = 4000;
  EXPECT_EQ(p.ToXml().find("hdwidth"), std::string::npos);
  p.isHdPhoto = true;
  p.isVideo = true;
  const std::string xml = p.ToXml();
  EXPECT_EQ(GetElement(xml, "hdwidth"), "4000");
  EXPECT_EQ(GetElement(xml, "type"), "video");
  EXPECT_EQ(GetElement(xml, "isVideo"), "1");
}

TEST(PhotoXml, ExifContentSkipsEmptyZeroAndInvalidValues) {
  CPhoto p;
  p.DateTime = "1970-01-01 01:00:00";
  p.FocalLength = "0.0";
  p.ISO = "100";
  p.FlashUsed = "0";  // written: only emptiness matters here
  p.ShutterSpeedValue = "1/250";
  p.ApertureValue = "4.0";
  EXPECT_EQ(p.ExifXml(), "<FlashUsed>0</FlashUsed><ISO>100</ISO>");
  p.DateTime = "2010-06-15 10:20:30";
  EXPECT_EQ(GetElement(p.ExifXml(), "DateTime"), "2010-06-15 10:20:30");
  p.DateTime = "2010-13-45 10:20:30";
  EXPECT_EQ(p.ExifXml().find("DateTime"), std::string::npos);
}

TEST(PhotoGps, WritesSevenDecimalsLongitudeFirst) {
  CPhoto p;
  EXPECT_EQ(p.GpsText(), "");
  p.gpsLongitude = 16.5;
  p.gpsLatitude = 49.2;
  EXPECT_EQ(p.GpsText(), "POINT(16.5000000 49.2000000)");
  p.gpsLongitude = -0.1275;
  p.gpsLatitude = 0.0;
  EXPECT_EQ(p.GpsText(), "POINT(-0.1275000 0.0000000)");
}

TEST(PhotoGps, ParsesOnlyWellFormedNonZeroPoints) {
  CPhoto p;
  EXPECT_TRUE(p.SetGpsFromText("POINT(-73.9857 40.7484)"));
  EXPECT_DOUBLE_EQ(p.gpsLongitude, -73.9857);
  EXPECT_DOUBLE_EQ(p.gpsLatitude, 40.7484);
  for (const char* text : {"POINT(0 49.2)", "point(16.5 49.2)", "POINT(16.5,49.2)",
                           "POINT(16.5 49.2", "POINT 16.5 49.2)", "POINT(x y)", "",
                           "POINT(200 49.2)", "POINT(16.5 -91)", "POINT(nan 1)"}) {
    EXPECT_FALSE(p.SetGpsFromText(text)) << text;
    EXPECT_DOUBLE_EQ(p.gpsLongitude, -73.9857) << text;
  }
}

TEST(PhotoXml, ReadsWithDefaultsForMissingElements) {
  CPhoto p;
  p.needsUpload = true;
  p.edited = true;
  p.FromXml("<photoID>5</photoID><fileName>a.jpg</fileName><desc>x &amp; y&lt;3\r\nz</desc>");
  EXPECT_EQ(p.photoID, 5);
  EXPECT_EQ(p.fileName, "a.jpg");
  EXPECT_EQ(p.desc, "x & y<3\nz");
  EXPECT_TRUE(p.included);  // no <public>
  EXPECT_FALSE(p.isVideo);
  EXPECT_FALSE(p.needsUpload);
  EXPECT_FALSE(p.edited);
  p.FromXml("<public>0</public><hdwidth>9</hdwidth><rotate>12</rotate>");
  EXPECT_FALSE(p.included);
  EXPECT_EQ(p.hdwidth, 0);  // only for HD photos
  EXPECT_EQ(p.rotate, 0);   // not a rotation code
}

TEST(PhotoXml, RoundTripKeepsTheServiceView) {
  CPhoto p;
  p.photoID = 9;
  p.name = "N";
  p.desc = "D";
  p.fileName = "f.jpg";
  p.index = 2;
  p.isHdPhoto = true;
  p.hdwidth = 3000;
  p.hdheight = 2000;
  p.rotate = 5;
  p.OriginalCode = 99;
  p.hasWatermark = true;
  p.CameraModel = "X100";
  p.ISO = "200";
  p.gpsLongitude = 16.5;
  p.gpsLatitude = 49.2;
  p.localPath = "/p/f.JPG";
  CPhoto q;
  q.FromXml(p.ToXml());
  EXPECT_EQ(q.photoID, 9);
  EXPECT_EQ(q.name, "N");
  EXPECT_EQ(q.index, 2);
  EXPECT_TRUE(q.isHdPhoto);
  EXPECT_EQ(q.hdheight, 2000);
  EXPECT_EQ(q.rotate, 5);
  EXPECT_EQ(q.savedRotate, 5);
  EXPECT_EQ(q.OriginalCode, 99);
  EXPECT_TRUE(q.hasWatermark);
  EXPECT_TRUE(q.savedHasWatermark);
  EXPECT_EQ(q.CameraModel, "X100");
  EXPECT_EQ(q.ISO, "200");
  EXPECT_DOUBLE_EQ(q.gpsLatitude, 49.2);
  EXPECT_EQ(q.localPath, "/p/f.JPG");
}

TEST(PhotoXml, WindowsPathsBecomeOurs) {
  CPhoto p;
  p.FromXml("<fileFullName>C:\\\\\\\\Photos\\\\2010\\a.jpg</fileFullName>");
  EXPECT_EQ(p.localPath, "C:/Photos/2010/a.jpg");
}

TEST(PhotoXml, VideoReadsItsVideoElementNotExif) {
  CPhoto p;
  p.FromXml(
      "<type>video</type><exif><ISO>100</ISO></exif><GPS>POINT(1 2)</GPS>"
      "<video> <widthSrc>640</widthSrc> <asamplingRate>0</asamplingRate></video>");
  EXPECT_TRUE(p.isVideo);
  EXPECT_EQ(p.video.widthSrc, 640);
  EXPECT_EQ(p.ISO, "");
  EXPECT_FALSE(p.HasGps());
}

TEST(PhotoXml, NumbersIgnoreTheProcessLocale) {
  const char* previous = std::setlocale(LC_NUMERIC, nullptr);
  const std::string saved = previous ? previous : "C";
  if (!std::setlocale(LC_NUMERIC, "cs_CZ.UTF-8") && !std::setlocale(LC_NUMERIC, "de_DE.UTF-8")) {
    GTEST_SKIP() << "no locale with a decimal comma installed";
  }
  CPhoto p;
  p.gpsLongitude = 16.5;
  p.gpsLatitude = 49.25;
  const std::string gps = p.GpsText();
  CPhoto q;
  const bool parsed = q.SetGpsFromText(gps);
  std::setlocale(LC_NUMERIC, saved.c_str());
  EXPECT_EQ(gps, "POINT(16.5000000 49.2500000)");
  EXPECT_TRUE(parsed);
  EXPECT_DOUBLE_EQ(q.gpsLatitude, 49.25);
}

}  // namespace
}  // namespace zerva
