// zerva-cli pointed at folders a real person might hold: a FIFO carrying a photo's name, files
// that only look like photos, and a photo cut short. None of them may hang the run; each is
// named with its reason at the end, and a photo that cannot be prepared is neither sent nor
// retried as if the network had failed.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>

#include "cli/cli_status.h"
#include "cli_runner.h"
#include "core/media/item_fixtures.h"
#include "support/temp_dir.h"

namespace zerva::test {
namespace {

using namespace zerva::cli;

// A hung run fails the test instead of blocking the whole suite.
constexpr int kRunLimitSeconds = 90;

class CliHostileFolderTest : public CliProcessTest {
 protected:
  CliRun Upload(const TempDir& folder, const std::string& name) {
    return cli_->Run(
        {"-usr", user_, "-pwd", "secret", "upload", folder.Path(), "--name", name, "--yes"},
        CliStdin::kDevNull, "", kRunLimitSeconds);
  }

  // The names of the photos sent to the images directory since the log was cleared.
  std::vector<std::string> SentImages() const {
    std::vector<std::string> sent;
    for (const LoggedRequest& r : Server().LogOf("upload.php")) {
      const std::string directory = r.Field("directory");
      if (directory.substr(directory.rfind('/') + 1) != "images") continue;
      if (const LoggedField* file = r.Find("soubor")) sent.push_back(file->fileName);
    }
    std::sort(sent.begin(), sent.end());
    return sent;
  }

  void SetUp() override {
    CliProcessTest::SetUp();
    ASSERT_TRUE(Server().ClearLog());
  }
};

std::string Picture(const TempDir& dir, const std::string& name, FREE_IMAGE_FORMAT format) {
  Bitmap image(FreeImage_Allocate(16, 16, 24));
  EXPECT_TRUE(FreeImage_Save(format, image.get(), dir.File(name).c_str(), 0));
  return dir.File(name);
}

TEST_F(CliHostileFolderTest, AFifoNamedLikeAPhotoIsLeftOutWithoutWaitingOnIt) {
  TempDir folder;
  PhotoFile(folder, "a.jpg", 320, 240);
  ASSERT_EQ(::mkfifo(folder.File("fifo.jpg").c_str(), 0644), 0);
  const CliRun run = Upload(folder, "Fifo");
  ASSERT_FALSE(run.timedOut) << "zerva-cli waited on the FIFO";
  EXPECT_EQ(run.status, kExitOk) << run.err;
  EXPECT_NE(run.err.find("left out: fifo.jpg (not a regular file)"), std::string::npos) << run.err;
  EXPECT_EQ(SentImages(), std::vector<std::string>({"a.jpg"}));
}

TEST_F(CliHostileFolderTest, FilesThatOnlyLookLikePhotosAreNamedWithTheirReasons) {
  TempDir folder;
  PhotoFile(folder, "a.jpg", 320, 240);
  folder.Write("empty.jpg", "");
  folder.Write("text.jpg", "These are notes, not a photo.\n");
  // A PNG saved as ".jpg" is sent as the photo it is; a BMP is a picture still refused.
  Picture(folder, "png_inside.jpg", FIF_PNG);
  Picture(folder, "bmp_inside.jpg", FIF_BMP);
  const CliRun run = Upload(folder, "Lookalikes");
  ASSERT_FALSE(run.timedOut);
  EXPECT_EQ(run.status, kExitOk) << run.err;
  const std::vector<std::string> lines = Lines(run.err);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(),
            "left out: empty.jpg (empty file), text.jpg (not a picture), bmp_inside.jpg (a BMP "
            "picture; only JPEG, HEIC, PNG and WebP photos, camera RAW and TIFF files and videos "
            "are sent)")
      << run.err;
  EXPECT_EQ(SentImages(), std::vector<std::string>({"a.jpg", "png_inside.jpg"}));
}

// The decoder still gives the top two thirds of this picture, the rest grey. Sent, it would stand
// on the service as the photo; it is named instead, and the user keeps the file to mend.
TEST_F(CliHostileFolderTest, ATruncatedPhotoFailsByNameAndIsNeitherSentNorRetried) {
  TempDir folder;
  PhotoFile(folder, "a.jpg", 320, 240);
  const std::string whole = FileBytes(PhotoFile(folder, "whole.jpg", 640, 480, 90, 3));
  ::unlink(folder.File("whole.jpg").c_str());
  folder.Write("truncated.jpg", whole.substr(0, whole.size() * 2 / 3));
  const CliRun run = Upload(folder, "Cut");
  ASSERT_FALSE(run.timedOut);
  // The album holds every other photo, but not every file given was sent.
  EXPECT_EQ(run.status, kExitFailed) << run.err;
  EXPECT_NE(run.out.find("Cut"), std::string::npos) << run.out;  // the album's address
  const std::vector<std::string> lines = Lines(run.err);
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines.back(), "failed: truncated.jpg (the file ends before the picture does)")
      << run.err;
  EXPECT_EQ(run.err.find("Some files could not be sent"), std::string::npos) << run.err;
  EXPECT_EQ(run.err.find("did not arrive whole"), std::string::npos) << run.err;
  EXPECT_EQ(SentImages(), std::vector<std::string>({"a.jpg"}));
  // The trace keeps the detail.
  EXPECT_NE(cli_->TraceLog().find("the file ends before the picture does"), std::string::npos);
  // The uploading mark is cleared: the album is complete without the file.
  EXPECT_EQ(Server().LogOf("SetAlbumUploading").size(), 1u);
}

}  // namespace
}  // namespace zerva::test
