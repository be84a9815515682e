#include "media/jpeg_exif_guard.h"

#include <gtest/gtest.h>

#include "media/image_load.h"
#include "media/jpeg_fit_load.h"
#include "media/jpeg_markers.h"
#include "media_fixtures.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

// Little-endian EXIF bodies written byte by byte.
struct ExifWriter {
  std::string bytes = std::string("Exif\0\0II*\0", 10);
  ExifWriter& U16(uint32_t v) {
    bytes += static_cast<char>(v & 0xFF), bytes += static_cast<char>(v >> 8);
    return *this;
  }
  ExifWriter& U32(uint32_t v) { return U16(v & 0xFFFF).U16(v >> 16); }
  ExifWriter& Entry(uint32_t tag, uint32_t type, uint32_t count, uint32_t value) {
    return U16(tag).U16(type).U32(count).U32(value);
  }
};

// First directory at 8 with one entry (Orientation 6) and a link to `next`.
ExifWriter CameraExif(uint32_t next = 0) {
  ExifWriter w;
  w.U32(8).U16(1).Entry(274, 3, 1, 6).U32(next);
  return w;
}

std::string App1(const std::string& body) {
  const size_t length = body.size() + 2;
  return std::string("\xff\xe1", 2) + static_cast<char>(length >> 8) +
         static_cast<char>(length & 0xFF) + body;
}

std::string SmallJpeg() {
  test::TempDir dir;
  const Bitmap image = test::PhotoLike(40, 30);
  return test::ReadWholeFile(test::SavedJpeg(image.get(), dir.File("s.jpg")));
}

// The segment goes right after the start-of-image marker.
std::string WithSegment(const std::string& jpeg, const std::string& segment) {
  return jpeg.substr(0, 2) + segment + jpeg.substr(2);
}

// The EXIF section of a JPEG after the guard: empty when it was removed.
std::string ExifAfterGuard(const std::string& body) {
  const std::string jpeg = WithSegment(SmallJpeg(), App1(body));
  std::string cleaned;
  if (!MakeJpegExifSafe(jpeg, &cleaned)) return body;
  std::string found;
  ForEachJpegSegment(cleaned, [&](const JpegSegment& segment) {
    if (segment.marker == 0xE1) found = std::string(segment.Body(cleaned));
    return found.empty();
  });
  return found;
}

TEST(MakeJpegExifSafe, LeavesSoundFilesAsTheyAre) {
  const std::string jpeg = SmallJpeg();
  std::string cleaned = "untouched";
  EXPECT_FALSE(MakeJpegExifSafe(jpeg, &cleaned));
  EXPECT_FALSE(MakeJpegExifSafe(WithSegment(jpeg, App1(CameraExif().bytes)), &cleaned));
  EXPECT_FALSE(MakeJpegExifSafe(WithSegment(jpeg, App1("http://ns.adobe.com/xap/1.0/")), &cleaned));
  EXPECT_EQ(cleaned, "untouched");
  EXPECT_EQ(ExifAfterGuard(CameraExif().bytes), CameraExif().bytes);
}

TEST(MakeJpegExifSafe, RemovesSectionsThatWouldMakeTheLibraryReadOutsideTheData) {
  ExifWriter endless;  // a directory of 65496 entries in a few bytes
  endless.U32(8).U16(0xFFD8).Entry(274, 3, 1, 6);
  EXPECT_EQ(ExifAfterGuard(endless.bytes), "");

  ExifWriter noLink;  // the link after the entries is missing
  noLink.U32(8).U16(1).Entry(274, 3, 1, 6);
  EXPECT_EQ(ExifAfterGuard(noLink.bytes + std::string(2, '\0')), "");

  // A thumbnail whose offset and length wrap around in 32 bits.
  ExifWriter wrapped = CameraExif(26);
  wrapped.U16(2).Entry(0x0201, 4, 1, 0xFFFFFFF0).Entry(0x0202, 4, 1, 0x20).U32(0).U32(0);
  EXPECT_EQ(ExifAfterGuard(wrapped.bytes), "");
}

TEST(MakeJpegExifSafe, AThumbnailWithBrokenExifOfItsOwnTakesTheSectionWithIt) {
  // The library decodes the embedded thumbnail as a JPEG, EXIF included.
  ExifWriter endless;
  endless.U32(8).U16(0xFFD8).Entry(274, 3, 1, 6);
  const std::string thumbnail = WithSegment(SmallJpeg(), App1(endless.bytes));
  ExifWriter carrying = CameraExif(26);
  carrying.U16(2)
      .Entry(0x0201, 4, 1, 56)
      .Entry(0x0202, 4, 1, static_cast<uint32_t>(thumbnail.size()));
  carrying.U32(0);
  carrying.bytes += thumbnail;
  EXPECT_EQ(ExifAfterGuard(carrying.bytes), "");

  // The same thumbnail without the broken section is kept.
  ExifWriter sound = CameraExif(26);
  const std::string plain = SmallJpeg();
  sound.U16(2).Entry(0x0201, 4, 1, 56).Entry(0x0202, 4, 1, static_cast<uint32_t>(plain.size()));
  sound.U32(0);
  sound.bytes += plain;
  EXPECT_EQ(ExifAfterGuard(sound.bytes), sound.bytes);
}

TEST(MakeJpegExifSafe, HidesMakerNotesAndDropsCutOffSections) {
  ExifWriter withNote;
  withNote.U32(8).U16(1).Entry(37500, 7, 4, 0x01020304).U32(0);
  const std::string after = ExifAfterGuard(withNote.bytes);
  ASSERT_EQ(after.size(), withNote.bytes.size());
  EXPECT_NE(after, withNote.bytes);  // the maker note's tag is renamed

  const std::string jpeg = SmallJpeg();
  const std::string cut = App1(CameraExif().bytes).substr(0, 12);
  std::string cleaned;
  ASSERT_TRUE(MakeJpegExifSafe(jpeg.substr(0, 2) + cut, &cleaned));
  EXPECT_EQ(cleaned, jpeg.substr(0, 2));
}

// Without the guard these files crash the image library, and with it the whole program.
TEST(MakeJpegExifSafe, LetsTheLoadersReadPicturesWithBrokenExif) {
  ExifWriter endless;
  endless.U32(8).U16(0xFFD8).Entry(274, 3, 1, 6);
  const std::string bad = WithSegment(SmallJpeg(), App1(endless.bytes));
  std::string error;
  const Bitmap loaded = LoadImageMemory(bad, kFormatJpeg, JPEG_ACCURATE, &error);
  ASSERT_NE(loaded, nullptr) << error;
  EXPECT_EQ(BitmapSize(loaded.get()), (PixelSize{40, 30}));
  const Bitmap fitted = LoadJpegForFit(bad, 10, nullptr, &error);
  ASSERT_NE(fitted, nullptr) << error;

  test::TempDir dir;
  const std::string path = dir.Write("bad.jpg", bad);
  EXPECT_NE(LoadImageFile(path, LoadPurpose::kPrepare), nullptr);
  EXPECT_NE(LoadForFit(path, 10), nullptr);
  PixelSize size;
  EXPECT_TRUE(ReadImageSize(path, &size));
  EXPECT_EQ(size, (PixelSize{40, 30}));
}

TEST(ReadJpegFrame, FindsTheFrameTheWayTheLibraryDoes) {
  const std::string jpeg = SmallJpeg();
  JpegFrame frame;
  ASSERT_TRUE(ReadJpegFrame(jpeg, &frame));
  EXPECT_EQ(frame.size, (PixelSize{40, 30}));
  EXPECT_EQ(frame.components, 3);
  // The image library lets libjpeg step over unknown markers without a length; a frame hidden
  // behind one is still the frame it decodes.
  const std::string hidden = jpeg.substr(0, 2) + "\xff\x63\xff\xff" + jpeg.substr(2);
  ASSERT_TRUE(ReadJpegFrame(hidden, &frame));
  EXPECT_EQ(frame.size, (PixelSize{40, 30}));
  EXPECT_FALSE(ReadJpegFrame("not a jpeg", &frame));
}

TEST(ReadJpegFrame, AGiganticFrameIsRefusedBeforeAnythingIsAllocated) {
  std::string jpeg = SmallJpeg();
  size_t sof = std::string::npos;
  ForEachJpegSegment(jpeg, [&](const JpegSegment& segment) {
    if (segment.marker == 0xC0) sof = segment.start;
    return sof == std::string::npos;
  });
  ASSERT_NE(sof, std::string::npos);
  jpeg[sof + 5] = '\xfb', jpeg[sof + 6] = '\x16';  // height 64278
  jpeg[sof + 7] = '\xda', jpeg[sof + 8] = '\x10';  // width 55824
  const std::string hidden = jpeg.substr(0, 2) + "\xff\x63" + jpeg.substr(2);
  for (const std::string& data : {jpeg, hidden}) {
    std::string error;
    EXPECT_EQ(LoadImageMemory(data, kFormatJpeg, JPEG_ACCURATE, &error), nullptr);
    EXPECT_NE(error.find("too large (55824 x 64278)"), std::string::npos) << error;
    EXPECT_EQ(LoadJpegForFit(data, 100, nullptr, &error), nullptr);
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
  }
}

}  // namespace
}  // namespace zerva
