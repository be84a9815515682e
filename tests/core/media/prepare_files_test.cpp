// Preparing photos into a folder for `zerva-cli prepare`: the upload's files under the service's
// names, the camera's orientation applied, bad files failing alone.
#include "media/prepare_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/model/model_fixtures.h"
#include "item_fixtures.h"

namespace zerva {
namespace {

using test::FileImageSize;

TEST(PrepareFilesTest, EachPhotoGetsItsImageAndThumbnail) {
  test::TempDir dir;
  const std::string out = dir.Path() + "out";
  const std::vector<std::string> files = {
      test::PhotoFile(dir, "Big Photo.jpg", 3000, 2000), dir.Write("notes.jpg", "just text"),
      test::PhotoFile(dir, "small.jpg", 900, 600), dir.File("Big Photo.jpg")};
  PrepareFilesOptions options;
  options.resolution = 1200;
  options.threads = 2;
  const std::vector<PreparedFile> results = PrepareFiles(files, out, options);
  ASSERT_EQ(results.size(), 4u);

  ASSERT_TRUE(results[0].ok) << results[0].error;
  EXPECT_EQ(results[0].image, out + "/images/Big_Photo.jpg");
  EXPECT_EQ(results[0].thumb, out + "/thumb/Big_Photo.jpg");
  EXPECT_EQ(FileImageSize(results[0].image), (PixelSize{1200, 800}));
  EXPECT_EQ(FileImageSize(results[0].thumb), (PixelSize{100, 67}));
  EXPECT_EQ(results[0].width, 1200);
  EXPECT_EQ(results[0].thumbHeight, 67);

  EXPECT_FALSE(results[1].ok);
  EXPECT_NE(results[1].error, "");
  ASSERT_TRUE(results[2].ok) << results[2].error;
  EXPECT_EQ(FileImageSize(results[2].image), (PixelSize{900, 600}));
  EXPECT_FALSE(results[3].ok);  // the same file twice
}

TEST(PrepareFilesTest, CameraOrientationTurnsThePicture) {
  if (!test::HaveExiftool()) GTEST_SKIP() << "exiftool is not installed";
  test::TempDir dir;
  const std::string photo = test::PhotoFile(dir, "turned.jpg", 1600, 1200);
  ASSERT_TRUE(test::Exiftool(photo, "-Orientation#=6"));
  const std::vector<PreparedFile> results = PrepareFiles({photo}, dir.Path() + "out", {});
  ASSERT_EQ(results.size(), 1u);
  ASSERT_TRUE(results[0].ok) << results[0].error;
  EXPECT_EQ(results[0].rotate, 1);
  EXPECT_EQ(FileImageSize(results[0].image), (PixelSize{900, 1200}));
  // Upright pixels: the tag now says so, so that no viewer turns them a second time.
  EXPECT_EQ(std::system(("exiftool -s3 -n -Orientation '" + results[0].image + "' > '" +
                         dir.File("tag.txt") + "'")
                            .c_str()),
            0);
  EXPECT_EQ(test::FileBytes(dir.File("tag.txt")), "1\n");
}

TEST(PrepareFilesTest, OutputNeverOverwritesTheSource) {
  test::TempDir dir;
  ASSERT_TRUE(CreateDirectoryPath(dir.Path() + "images"));
  const std::string photo = test::PhotoFile(dir, "images/a.jpg", 2000, 1000);
  const std::string before = test::FileBytes(photo);
  const std::vector<PreparedFile> results = PrepareFiles({photo}, dir.Path(), {});
  ASSERT_EQ(results.size(), 1u);
  EXPECT_FALSE(results[0].ok);
  EXPECT_EQ(test::FileBytes(photo), before);
}

}  // namespace
}  // namespace zerva
