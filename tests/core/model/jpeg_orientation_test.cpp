#include "model/jpeg_orientation.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

#include "model/exif_reader.h"
#include "model/photo.h"
#include "model_fixtures.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

// A TIFF structure laid out by hand, in either byte order.
class Tiff {
 public:
  explicit Tiff(bool motorola, size_t size = 64) : mm_(motorola), bytes_(size, '\0') {
    bytes_[0] = bytes_[1] = motorola ? 'M' : 'I';
    Put16(2, 42);
    Put32(4, 8);
  }
  void Put16(size_t at, uint32_t v) {
    Grow(at + 2);
    bytes_[at + (mm_ ? 0 : 1)] = static_cast<char>((v >> 8) & 0xFF);
    bytes_[at + (mm_ ? 1 : 0)] = static_cast<char>(v & 0xFF);
  }
  void Put32(size_t at, uint32_t v) {
    Put16(at + (mm_ ? 0 : 2), v >> 16);
    Put16(at + (mm_ ? 2 : 0), v & 0xFFFF);
  }
  // A directory at `at` with `count` entries; entry i starts at Entry(at, i).
  void Directory(size_t at, uint32_t count, uint32_t next) {
    Put16(at, count);
    Put32(at + 2 + 12 * count, next);
  }
  static size_t Entry(size_t dir, size_t i) { return dir + 2 + 12 * i; }
  void SetEntry(size_t entry, uint32_t tag, uint32_t format, uint32_t count) {
    Put16(entry, tag);
    Put16(entry + 2, format);
    Put32(entry + 4, count);
  }
  std::string& bytes() { return bytes_; }

 private:
  void Grow(size_t size) {
    if (bytes_.size() < size) bytes_.resize(size, '\0');
  }
  bool mm_;
  std::string bytes_;
};

std::string Section(unsigned char marker, const std::string& payload) {
  const size_t length = payload.size() + 2;
  std::string s = {'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8),
                   static_cast<char>(length & 0xFF)};
  return s + payload;
}

std::string ExifSection(const std::string& tiff) {
  return Section(0xE1, std::string("Exif\0\0", 6) + tiff);
}

std::string Jpeg(const std::vector<std::string>& sections) {
  std::string file = "\xFF\xD8";
  for (const std::string& s : sections) file += s;
  return file + Section(0xDA, "\x01\x02") + "scan data\xFF\xD9";
}

// Where the TIFF data of the first section starts in a file built by Jpeg(): after SOI, the
// section header and "Exif\0\0".
constexpr size_t kTiffStart = 2 + 4 + 6;

// A directory at 8 holding one Orientation entry of the given format.
Tiff OrientationTiff(bool motorola, uint32_t format, uint32_t value) {
  Tiff t(motorola);
  t.Directory(8, 1, 0);
  const size_t e = Tiff::Entry(8, 0);
  t.SetEntry(e, 274, format, 1);
  if (format == 3) t.Put16(e + 8, value);
  if (format == 4) t.Put32(e + 8, value);
  return t;
}

class ResetOrientationTest : public ::testing::Test {
 protected:
  std::string WriteFile(const std::string& bytes) { return dir_.Write("p.jpg", bytes); }
  // Runs the reset and checks that only [from, from + width) may have changed.
  void ExpectOnlyChanged(const std::string& before, const std::string& path, size_t from,
                         size_t width) {
    const std::string after = test::ReadWholeFile(path);
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
      if (i >= from && i < from + width) continue;
      ASSERT_EQ(after[i], before[i]) << "byte " << i << " changed";
    }
  }
  bool Reset(const std::string& path) { return ResetOrientation(path, &error_); }
  test::TempDir dir_;
  std::string error_;
};

TEST_F(ResetOrientationTest, WritesOneInBothByteOrders) {
  for (bool motorola : {true, false}) {
    Tiff t = OrientationTiff(motorola, 3, 6);
    const std::string before = Jpeg({ExifSection(t.bytes())});
    const std::string path = WriteFile(before);
    ASSERT_TRUE(Reset(path)) << error_;
    const size_t value = kTiffStart + Tiff::Entry(8, 0) + 8;
    ExpectOnlyChanged(before, path, value, 2);
    const std::string after = test::ReadWholeFile(path);
    EXPECT_EQ(after.substr(value, 2), motorola ? std::string("\0\1", 2) : std::string("\1\0", 2));
  }
}

TEST_F(ResetOrientationTest, LongValueIsRewrittenInItsOwnWidth) {
  Tiff t = OrientationTiff(true, 4, 8);
  const std::string before = Jpeg({ExifSection(t.bytes())});
  const std::string path = WriteFile(before);
  ASSERT_TRUE(Reset(path)) << error_;
  const size_t value = kTiffStart + Tiff::Entry(8, 0) + 8;
  ExpectOnlyChanged(before, path, value, 4);
  EXPECT_EQ(test::ReadWholeFile(path).substr(value, 4), std::string("\0\0\0\1", 4));
}

TEST_F(ResetOrientationTest, NormalOrientationIsLeftAlone) {
  Tiff t = OrientationTiff(false, 3, 1);
  const std::string before = Jpeg({ExifSection(t.bytes())});
  const std::string path = WriteFile(before);
  ASSERT_EQ(::chmod(path.c_str(), 0644), 0);
  EXPECT_TRUE(Reset(path)) << error_;
  EXPECT_EQ(test::ReadWholeFile(path), before);
}

TEST_F(ResetOrientationTest, FollowsTheExifSubDirectory) {
  Tiff t(false, 80);
  t.Directory(8, 1, 0);
  t.SetEntry(Tiff::Entry(8, 0), 34665, 4, 1);
  t.Put32(Tiff::Entry(8, 0) + 8, 40);
  t.Directory(40, 1, 0);
  t.SetEntry(Tiff::Entry(40, 0), 274, 3, 1);
  t.Put16(Tiff::Entry(40, 0) + 8, 3);
  const std::string before = Jpeg({Section(0xE0, "JFIF\0"), ExifSection(t.bytes())});
  const std::string path = WriteFile(before);
  ASSERT_TRUE(Reset(path)) << error_;
  const size_t value = before.find("Exif") + 6 + Tiff::Entry(40, 0) + 8;
  ExpectOnlyChanged(before, path, value, 2);
}

TEST_F(ResetOrientationTest, TwentyOneSectionsBeforeExifLeaveTheFileAlone) {
  Tiff t = OrientationTiff(true, 3, 6);
  std::vector<std::string> sections;
  for (int i = 0; i < 21; ++i) sections.push_back(Section(0xFE, "comment"));
  sections.push_back(ExifSection(t.bytes()));
  const std::string before = Jpeg(sections);
  const std::string path = WriteFile(before);
  EXPECT_FALSE(Reset(path));
  EXPECT_EQ(error_, "Too many sections in jpg file");
  EXPECT_EQ(test::ReadWholeFile(path), before);

  // Nineteen do not reach the limit, and JFIF and XMP sections do not count.
  sections.erase(sections.begin(), sections.begin() + 2);
  sections.insert(sections.begin(), Section(0xE0, "JFIF\0"));
  sections.insert(sections.begin() + 1, Section(0xE1, "http://ns.adobe.com/xap/1.0/"));
  const std::string allowed = Jpeg(sections);
  ASSERT_TRUE(Reset(WriteFile(allowed))) << error_;
  EXPECT_NE(test::ReadWholeFile(path), allowed);
}

TEST_F(ResetOrientationTest, PaddingBeforeAMarker) {
  Tiff t = OrientationTiff(true, 3, 6);
  const std::string exif = ExifSection(t.bytes());
  const std::string padded = "\xFF\xD8" + std::string(6, '\xFF') + exif + "\xFF\xD9";
  ASSERT_TRUE(Reset(WriteFile(padded))) << error_;
  const std::string tooMuch = "\xFF\xD8" + std::string(8, '\xFF') + exif;
  EXPECT_FALSE(Reset(WriteFile(tooMuch)));
  EXPECT_EQ(error_, "too many padding unsigned chars!");
}

TEST_F(ResetOrientationTest, MalformedFilesGiveTheirErrorAndStayUnchanged) {
  struct Case {
    const char* name;
    std::string file;
    const char* error;
  };
  std::vector<Case> cases;
  {
    Tiff t = OrientationTiff(true, 3, 6);
    std::string exif = ExifSection(t.bytes());
    exif[9] = '\1';  // "Exif\0\1"
    cases.push_back({"header", Jpeg({exif}), "Incorrect Exif header"});
  }
  {
    Tiff t = OrientationTiff(true, 3, 6);
    t.bytes()[0] = 'X';
    cases.push_back(
        {"alignment", Jpeg({ExifSection(t.bytes())}), "Invalid Exif alignment marker."});
  }
  {
    Tiff t = OrientationTiff(false, 3, 6);
    t.Put16(2, 43);
    cases.push_back({"start", Jpeg({ExifSection(t.bytes())}), "Invalid Exif start ( 1 )"});
  }
  {
    Tiff t = OrientationTiff(false, 3, 6);
    t.Put32(4, 100);
    cases.push_back(
        {"first offset", Jpeg({ExifSection(t.bytes())}), "Suspicious offset of first IFD value"});
  }
  {
    Tiff t = OrientationTiff(false, 3, 6);
    t.Put16(8, 5000);
    cases.push_back({"entries", Jpeg({ExifSection(t.bytes())}), "Illegally sized directory"});
  }
  {
    Tiff t = OrientationTiff(false, 0, 6);
    cases.push_back({"format", Jpeg({ExifSection(t.bytes())}), "Illegal format code in EXIF dir"});
  }
  {
    Tiff t = OrientationTiff(true, 3, 6);
    t.Put32(Tiff::Entry(8, 0) + 4, 0x40000000);  // a huge count points outside the data
    t.Put32(Tiff::Entry(8, 0) + 8, 8);
    cases.push_back(
        {"count", Jpeg({ExifSection(t.bytes())}), "Illegal pointer offset value in EXIF."});
  }
  {
    Tiff t(true);
    t.Directory(8, 1, 0);
    t.SetEntry(Tiff::Entry(8, 0), 34853, 4, 1);
    t.Put32(Tiff::Entry(8, 0) + 8, 0xFFFFFF00);
    cases.push_back({"sub link", Jpeg({ExifSection(t.bytes())}), "Illegal subdirectory link"});
  }
  cases.push_back({"length", std::string("\xFF\xD8\xFF\xFE\x00\x01", 6), "invalid marker"});
  cases.push_back(
      {"truncated", std::string("\xFF\xD8\xFF\xFE\x00\x40short", 11), "Premature end of file?"});
  cases.push_back(
      {"end of image", std::string("\xFF\xD8\xFF\xD9\x00\x02", 6), "No image in jpeg!\n"});
  cases.push_back({"not a jpeg", "GIF89a........", "Not a JPEG file"});
  for (const Case& c : cases) {
    const std::string path = WriteFile(c.file);
    EXPECT_FALSE(Reset(path)) << c.name;
    EXPECT_EQ(error_, c.error) << c.name;
    EXPECT_EQ(test::ReadWholeFile(path), c.file) << c.name;
  }
}

TEST_F(ResetOrientationTest, DirectoryLoopsEnd) {
  Tiff t(false, 80);
  t.Directory(8, 1, 8);  // links to itself
  t.SetEntry(Tiff::Entry(8, 0), 34665, 4, 1);
  t.Put32(Tiff::Entry(8, 0) + 8, 40);
  t.Directory(40, 1, 8);  // and back
  t.SetEntry(Tiff::Entry(40, 0), 40965, 4, 1);
  t.Put32(Tiff::Entry(40, 0) + 8, 8);
  const std::string before = Jpeg({ExifSection(t.bytes())});
  const std::string path = WriteFile(before);
  EXPECT_TRUE(Reset(path)) << error_;  // no orientation: nothing to do
  EXPECT_EQ(test::ReadWholeFile(path), before);
}

TEST_F(ResetOrientationTest, UnwritableFileIsNotTouched) {
  Tiff t = OrientationTiff(true, 3, 6);
  const std::string before = Jpeg({ExifSection(t.bytes())});
  const std::string path = WriteFile(before);
  ASSERT_EQ(::chmod(path.c_str(), 0444), 0);
  if (::geteuid() == 0) GTEST_SKIP() << "root writes read-only files";
  EXPECT_FALSE(Reset(path));
  EXPECT_EQ(test::ReadWholeFile(path), before);
}

TEST_F(ResetOrientationTest, CameraFileReadsNormalAfterwards) {
  if (!test::HaveExiftool()) GTEST_SKIP() << "exiftool is not installed";
  const std::string path = test::MakeJpeg(dir_, "camera.jpg");
  ASSERT_TRUE(test::Exiftool(path, "-Orientation#=6 -Make=Canon"));
  ASSERT_TRUE(Reset(path)) << error_;
  CPhoto item;
  item.localPath = path;
  ASSERT_TRUE(ReadExif(item, 100, 1200, false, {}));
  EXPECT_EQ(item.exifInfo.orientation, 1);
  EXPECT_EQ(item.CameraMake, "Canon");
}

}  // namespace
}  // namespace zerva
