#include "media/jpeg_rotate.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "media/image_load.h"
#include "media/image_rotate.h"
#include "media_fixtures.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

class RotateJpegFileTest : public ::testing::Test {
 protected:
  // 64 x 48 fills whole 16 x 16 units, so every block turns.
  std::string MakeJpeg(const std::string& name, int width = 64, int height = 48) {
    Bitmap image = test::PhotoLike(width, height);
    FreeImage_SetMetadataKeyValue(FIMD_COMMENTS, image.get(), "Comment", "from the camera");
    return test::SavedJpeg(image.get(), dir_.File(name));
  }
  static Bitmap Decode(const std::string& path) { return LoadImageFile(path, JPEG_ACCURATE); }

  test::TempDir dir_;
};

TEST_F(RotateJpegFileTest, TurnsClockwiseWithoutLosingAnything) {
  const std::string path = MakeJpeg("a.jpg");
  const Bitmap original = Decode(path);
  for (int degrees : {90, 180, 270}) {
    SCOPED_TRACE(degrees);
    ASSERT_TRUE(RotateJpegFile(path, degrees));
    const Bitmap turned = Decode(path);
    Bitmap expected = CloneBitmap(original.get());
    ASSERT_TRUE(RotateByCode(expected, degrees / 90));
    // The same picture turned; decoding turned blocks may round a little differently.
    EXPECT_LE(test::MaxDifference(turned.get(), expected.get()), 3);
    // Turning back restores the very same compressed blocks, hence the same pixels.
    ASSERT_TRUE(RotateJpegFile(path, 360 - degrees == 360 ? 0 : 360 - degrees));
    const Bitmap back = Decode(path);
    EXPECT_EQ(test::MaxDifference(back.get(), original.get()), 0);
  }
}

TEST_F(RotateJpegFileTest, KeepsMarkersAndTheFileMode) {
  const std::string path = MakeJpeg("b.jpg");
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  ASSERT_TRUE(RotateJpegFile(path, 90));
  EXPECT_EQ(test::ModeOf(path) & 0777, 0640u);
  const Bitmap turned = Decode(path);
  FITAG* tag = nullptr;
  ASSERT_TRUE(FreeImage_GetMetadata(FIMD_COMMENTS, turned.get(), "Comment", &tag));
  EXPECT_STREQ(static_cast<const char*>(FreeImage_GetTagValue(tag)), "from the camera");
}

TEST_F(RotateJpegFileTest, AcceptsEdgeBlocksThatCannotTurn) {
  const std::string path = MakeJpeg("odd.jpg", 50, 30);
  ASSERT_TRUE(RotateJpegFile(path, 90));
  PixelSize size;
  ASSERT_TRUE(ReadImageSize(path, &size));
  EXPECT_EQ(size, (PixelSize{30, 50}));
}

TEST_F(RotateJpegFileTest, ZeroDegreesTouchesNothing) {
  const std::string path = MakeJpeg("c.jpg");
  const std::string before = test::ReadWholeFile(path);
  EXPECT_TRUE(RotateJpegFile(path, 0));
  EXPECT_EQ(test::ReadWholeFile(path), before);
}

TEST_F(RotateJpegFileTest, OtherAnglesFailAndLeaveTheFileByteForByte) {
  const std::string path = MakeJpeg("d.jpg");
  const std::string before = test::ReadWholeFile(path);
  for (int degrees : {45, -90, 360, 1}) {
    std::string error;
    EXPECT_FALSE(RotateJpegFile(path, degrees, &error));
    EXPECT_NE(error.find("RotateJpegFile " + path), std::string::npos) << error;
  }
  EXPECT_EQ(test::ReadWholeFile(path), before);
  EXPECT_EQ(test::FolderNames(dir_.Path()), std::vector<std::string>{"d.jpg"});
}

TEST_F(RotateJpegFileTest, BrokenOrMissingFilesFailAndStayAsTheyWere) {
  const std::string text = dir_.Write("text.jpg", "not a picture at all");
  const std::string whole = test::ReadWholeFile(MakeJpeg("whole.jpg"));
  const std::string cut = dir_.Write("cut.jpg", whole.substr(0, whole.size() / 2));
  for (const std::string& path : {text, cut}) {
    const std::string before = test::ReadWholeFile(path);
    std::string error;
    EXPECT_FALSE(RotateJpegFile(path, 90, &error)) << path;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(test::ReadWholeFile(path), before);
  }
  EXPECT_FALSE(RotateJpegFile(dir_.File("missing.jpg"), 90));
  EXPECT_EQ(test::FolderNames(dir_.Path()),
            (std::vector<std::string>{"cut.jpg", "text.jpg", "whole.jpg"}));
}

}  // namespace
}  // namespace zerva
