#include "model/exif_guard.h"

#include <FreeImagePlus.h>
#include <gtest/gtest.h>

#include "model/exif_reader.h"
#include "model/photo.h"
#include "model/tiff_walker.h"
#include "model_fixtures.h"

namespace zerva {
namespace {

// An EXIF body in Motorola order: IFD0 at 8 with `entries` entries of 12 bytes each.
std::string Body(int entries, size_t size = 128) {
  std::string b(size, '\0');
  b[0] = b[1] = 'M';
  b[3] = 42;
  b[7] = 8;
  b[9] = static_cast<char>(entries);
  return b;
}

void Entry(std::string* b, size_t index, uint16_t tag, uint16_t format, uint32_t count,
           uint32_t value) {
  const size_t at = 10 + 12 * index;
  (*b)[at] = static_cast<char>(tag >> 8);
  (*b)[at + 1] = static_cast<char>(tag & 0xFF);
  (*b)[at + 3] = static_cast<char>(format);
  for (int i = 0; i < 4; ++i) {
    (*b)[at + 4 + i] = static_cast<char>(count >> (24 - 8 * i));
    (*b)[at + 8 + i] = static_cast<char>(value >> (24 - 8 * i));
  }
}

uint16_t TagAt(const std::string& b, size_t index) {
  const size_t at = 10 + 12 * index;
  return static_cast<uint16_t>((static_cast<unsigned char>(b[at]) << 8) |
                               static_cast<unsigned char>(b[at + 1]));
}

TEST(ExifGuard, SoundStructurePassesWithMakerNoteHidden) {
  std::string b = Body(2);
  Entry(&b, 0, 271, 2, 4, 0x41424300);  // Make "ABC"
  Entry(&b, 1, kTagMakerNote, 7, 16, 60);
  std::string error;
  ASSERT_TRUE(SanitizeExifBody(&b, &error)) << error;
  EXPECT_EQ(TagAt(b, 0), 271);
  EXPECT_EQ(TagAt(b, 1), 0xFFFF);
}

TEST(ExifGuard, LyingStructuresAreRefused) {
  struct Case {
    const char* name;
    std::string body;
  };
  std::vector<Case> cases;
  cases.push_back({"too many entries", Body(200)});
  {
    std::string b = Body(1);
    Entry(&b, 0, 271, 2, 1000, 40);  // value runs past the end
    cases.push_back({"value offset", b});
  }
  {
    std::string b = Body(1);
    Entry(&b, 0, kTagExifIfd, 4, 1, 8);  // the EXIF directory is IFD0 again
    cases.push_back({"loop", b});
  }
  {
    std::string b = Body(1);
    Entry(&b, 0, kTagGpsIfd, 4, 1, 5000);
    cases.push_back({"sub link", b});
  }
  {
    std::string b = Body(1);
    Entry(&b, 0, 274, 3, 1, 0x00010000);
    b[22] = 1;  // next directory link 0x01000001
    b[25] = 1;
    cases.push_back({"next link", b});
  }
  {
    std::string b = Body(2);
    Entry(&b, 0, 513, 4, 1, 100);
    Entry(&b, 1, 514, 4, 1, 100);  // thumbnail runs past the end
    cases.push_back({"thumbnail", b});
  }
  {
    std::string b = Body(0);
    b[7] = 0x7F;  // first directory outside
    cases.push_back({"first offset", b});
  }
  cases.push_back({"short", "MM\0*"});
  for (Case& c : cases) {
    std::string error;
    EXPECT_FALSE(SanitizeExifBody(&c.body, &error)) << c.name;
    EXPECT_FALSE(error.empty()) << c.name;
  }
}

TEST(ExifGuard, HugeThumbnailIsHiddenNotDecoded) {
  std::string b = Body(2, 64);
  // A thumbnail whose frame header claims 60000 x 60000 pixels.
  const std::string thumb("\xFF\xD8\xFF\xC0\x00\x0B\x08\xEA\x60\xEA\x60\x01\x01\x11\x00", 15);
  const uint32_t at = static_cast<uint32_t>(b.size());
  b += thumb;
  Entry(&b, 0, 513, 4, 1, at);
  Entry(&b, 1, 514, 4, 1, static_cast<uint32_t>(thumb.size()));
  std::string error;
  ASSERT_TRUE(SanitizeExifBody(&b, &error)) << error;
  EXPECT_EQ(TagAt(b, 0), 0xFFFF);
  EXPECT_EQ(TagAt(b, 1), 0xFFFF);
}

TEST(ExifGuard, HeaderKeepsFrameAndExifButNotComments) {
  test::TempDir dir;
  const std::string path = test::MakeJpeg(dir, "p.jpg", 64, 48);
  if (test::HaveExiftool()) {
    ASSERT_TRUE(test::Exiftool(path, "-Make=Canon -Comment='a comment'"));
  }
  const std::string header = SafeJpegHeader(path);
  ASSERT_GT(header.size(), 4u);
  EXPECT_EQ(header.substr(header.size() - 2), "\xFF\xD9");
  EXPECT_EQ(header.find("a comment"), std::string::npos);
  EXPECT_EQ(header.find("JFIF"), std::string::npos);
  if (test::HaveExiftool()) {
    EXPECT_NE(header.find("Canon"), std::string::npos);
  }
  fipMemoryIO memory(reinterpret_cast<BYTE*>(const_cast<char*>(header.data())),
                     static_cast<DWORD>(header.size()));
  fipImage image;
  ASSERT_TRUE(image.loadFromMemory(FIF_JPEG, memory, FIF_LOAD_NOPIXELS));
  EXPECT_EQ(image.getWidth(), 64u);
  EXPECT_EQ(image.getHeight(), 48u);
  EXPECT_TRUE(SafeJpegHeader(dir.Write("x.jpg", "GIF89a")).empty());
}

TEST(ExifGuard, UnsoundExifReadsAsNone) {
  test::TempDir dir;
  const std::string path = test::MakeJpeg(dir, "p.jpg");
  std::string bytes = test::ReadWholeFile(path);
  // An EXIF section whose first directory claims 0x5573 entries.
  std::string body = Body(0, 32);
  body[8] = 0x55;
  body[9] = 0x73;
  const std::string payload = "Exif" + std::string(2, '\0') + body;
  const size_t length = payload.size() + 2;
  bytes.insert(2, std::string("\xFF\xE1", 2) + static_cast<char>(length >> 8) +
                      static_cast<char>(length & 0xFF) + payload);
  const std::string hostile = dir.Write("hostile.jpg", bytes);
  CPhoto item;
  item.localPath = hostile;
  EXPECT_FALSE(ReadExif(item, 100, 1200, true, {true, true}));
  EXPECT_FALSE(item.exifRead);
}

TEST(ExifGuard, TiffFilesAreCheckedBeforeReading) {
  test::TempDir dir;
  EXPECT_TRUE(TiffFileIsSound(test::MakeTiff(dir, "ok.tif")));
  std::string broken = Body(300, 64);
  broken[0] = broken[1] = 'I';
  broken[2] = 42;
  broken[3] = 0;
  broken[4] = 8;
  broken[7] = 0;
  EXPECT_FALSE(TiffFileIsSound(dir.Write("broken.tif", broken)));
  EXPECT_FALSE(TiffFileIsSound(test::MakeJpeg(dir, "p.jpg")));
  EXPECT_FALSE(TiffFileIsSound(dir.File("missing.tif")));

  // A directory whose tags are out of order, as the fuzzer found crashing the library's TIFF
  // reader together with tags it does not know: not handed to it.
  auto entry = [](uint16_t tag, uint16_t value) {
    std::string bytes(12, '\0');
    bytes[0] = static_cast<char>(tag & 0xff);
    bytes[1] = static_cast<char>(tag >> 8);
    bytes[2] = 3;  // SHORT
    bytes[4] = 1;  // one of them
    bytes[8] = static_cast<char>(value & 0xff);
    bytes[9] = static_cast<char>(value >> 8);
    return bytes;
  };
  auto tiff = [&](const std::vector<uint16_t>& tags) {
    std::string bytes = std::string("II*\0", 4) + std::string("\x08\0\0\0", 4);
    bytes += static_cast<char>(tags.size());
    bytes += '\0';
    for (uint16_t tag : tags) bytes += entry(tag, 1);
    bytes += std::string(4, '\0');  // no next directory
    return bytes;
  };
  EXPECT_TRUE(TiffFileIsSound(dir.Write("sorted.tif", tiff({0x100, 0x101, 0x4115}))));
  EXPECT_FALSE(TiffFileIsSound(dir.Write("unsorted.tif", tiff({0x100, 0x4115, 0x101}))));
  EXPECT_FALSE(TiffFileIsSound(dir.Write("twice.tif", tiff({0x100, 0x100, 0x101}))));
}

}  // namespace
}  // namespace zerva
