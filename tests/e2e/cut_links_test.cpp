// zerva-cli uploading through a relay that cuts its connections in the middle of the transfers:
// the requests are sent again by the retry rules and the album arrives whole, every item once.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <thread>

#include "album_on_service.h"
#include "app/elements.h"
#include "app/text_utils.h"
#include "cli/cli_status.h"
#include "cli_runner.h"
#include "core/media/item_fixtures.h"
#include "core/media/video_fixtures.h"
#include "media/image_load.h"
#include "platform/tools.h"
#include "support/relay.h"
#include "support/shared_server_test.h"

namespace zerva::test {
namespace {

using namespace std::chrono_literals;
using zerva::cli::kExitOk;

class CutLinksTest : public SharedServerTest {
 protected:
  static void SetUpTestSuite() { StartServer(false); }

  // Waits until the service logged `count` requests of `script`; false after `limit`.
  static bool WaitForLogged(const std::string& script, size_t count,
                            std::chrono::seconds limit = 120s) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (Server().LogOf(script).size() < count) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(10ms);
    }
    return true;
  }

  TempDir folder_;
};

TEST_F(CutLinksTest, ConnectionsCutMidUploadAreSentAgainWithoutDuplicates) {
  if (!HaveFfmpeg() || FindOnPath("ffprobe").empty()) GTEST_SKIP() << "no ffmpeg or ffprobe";
  std::vector<std::string> photos;
  for (int i = 1; i <= 6; ++i) {
    photos.push_back("p" + std::to_string(i) + ".jpg");
    PhotoFile(folder_, photos.back(), 1600, 1200, 92, i);
  }
  const std::string clip = TestVideo("h264_aac.mp4");
  ASSERT_FALSE(clip.empty());
  std::filesystem::copy_file(clip, folder_.File("clip.mp4"));

  // A line slow enough that a cut finds transfers under way.
  RelayOptions link;
  link.oneWayDelay = 5ms;
  link.bitsPerSecond = 40'000'000;
  Relay relay(Server().Port(), link);
  std::string error;
  ASSERT_TRUE(relay.Start(&error)) << error;
  const TestAccount account = NewTestAccount(Server(), "cut");
  ASSERT_GT(account.id, 0);
  CliInstall cli("127.0.0.1:" + std::to_string(relay.Port()) + "/");

  // Only uploads carry more than 30 kB towards the service: the first six connections to do so
  // are cut in the middle of a request, and once a few photos arrived every connection is.
  relay.CutAfter(30'000, 6);
  CliRun run;
  std::thread upload([&] {
    run = cli.Run({"-usr", account.name, "-pwd", "secret", "upload",
                   TrimEndChars(folder_.Path(), "/"), "--yes"},
                  CliStdin::kDevNull, "", 180);
  });
  const bool sending = WaitForLogged("upload.php", 3);
  relay.CutAll();
  upload.join();
  ASSERT_TRUE(sending) << run.err;
  ASSERT_EQ(run.status, kExitOk) << run.err << "\ntrace:\n" << cli.TraceLog();
  EXPECT_GE(relay.Cuts(), 6);

  const std::vector<std::string> albums = AlbumsOf(Server(), account);
  ASSERT_EQ(albums.size(), 1u) << "one album";
  EXPECT_EQ(GetElement(albums[0], "uploading"), "0");
  // The video's item is named after its still picture.
  std::vector<std::string> items = photos;
  items.push_back("clip.jpg");
  std::sort(items.begin(), items.end());
  EXPECT_EQ(ItemNamesOf(Server(), account, albums[0]), items) << "every item once";

  // Each stored photo is the last copy the service accepted whole, and decodes.
  std::map<std::string, std::string> accepted;  // "images/p1.jpg" -> md5
  for (const LoggedRequest& r : Server().LogOf("upload.php")) {
    const LoggedField* file = r.Find("soubor");
    if (r.status != 200 || file == nullptr) continue;
    const std::string directory = r.Field("directory");
    accepted[directory.substr(directory.find('/') + 1) + "/" + file->fileName] = file->md5;
  }
  const std::string serverDir = GetElement(albums[0], "serverDir");
  int videos = 0;
  std::vector<std::string> stored_photos;
  for (const auto& [path, file] : StoredFilesOf(Server(), account)) {
    const std::string full = StoredPath(Server(), account, path);
    const std::string inAlbum = path.substr(serverDir.size() + 1);
    if (path.ends_with(".mp4")) {
      ++videos;
      std::string complaint;
      EXPECT_GT(DecodedFrames(full, &complaint), 0) << path << ": " << complaint;
      continue;
    }
    stored_photos.push_back(inAlbum);
    EXPECT_EQ(file.md5, accepted[inAlbum]) << inAlbum;
    EXPECT_NE(LoadImageFile(full, LoadPurpose::kPrepare, &error).get(), nullptr) << error;
  }
  EXPECT_EQ(videos, 1);
  std::vector<std::string> expected = {"images/clip.jpg", "thumb/clip.jpg"};
  for (const char* sub : {"images/", "thumb/"}) {
    for (const std::string& photo : photos) expected.push_back(sub + photo);
  }
  std::sort(expected.begin(), expected.end());
  std::sort(stored_photos.begin(), stored_photos.end());
  EXPECT_EQ(stored_photos, expected);
}

}  // namespace
}  // namespace zerva::test
