// The album editor and the upload page taking turns on the same items many times, against
// zerva-server: the upload is left for the editor at random moments while photos are prepared and
// sent, the editor's loader starts again each time, and the last run still puts the album on the
// service whole. Run under the sanitizers, it catches a worker that touches items it no longer
// may.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>

#include "app/elements.h"
#include "core/ui/page_test_fixture.h"
#include "platform/md5.h"
#include "ui/album_editor_view.h"
#include "ui/main_window_view.h"

namespace zerva::test {
namespace {

using namespace std::chrono_literals;

constexpr int kRounds = 8;
constexpr int kPhotos = 6;

class EditorUploadStressTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    for (int i = 1; i <= kPhotos; ++i) {
      PhotoFile(photos_, "p" + std::to_string(i) + ".jpg", 1600, 1200, 90, i);
    }
    // Every question is answered Yes: leave the running upload, try failed files again.
    frontEnd_.dialogs = std::make_unique<ScriptedDialogs>(Reply::kYes);
  }

  TempDir photos_;
};

TEST_F(EditorUploadStressTest, LeavingTheUploadAtRandomMomentsLosesNothing) {
  const std::string user = NewAccount();
  const unsigned seed = std::random_device()();
  std::printf("seed %u\n", seed);
  std::mt19937 random(seed);
  Replies().QueueFolder(photos_.Path());
  int leftMidway = 0;
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    window.Start();
    SignInThroughThePage(window, user + "@example.com", "secret");
    ASSERT_EQ(window.Current(), kEditPhotosPage);
    app.Session().SetUploadDelayMs(0);
    for (int round = 0; round < kRounds; ++round) {
      window.main.userBar.Click(kUserNext);
      if (window.Current() != kCopyPage) break;
      frontEnd_.loop.PumpFor(std::chrono::milliseconds(random() % 400));
      if (window.Current() != kCopyPage) break;  // the run finished meanwhile
      window.main.userBar.Click(kUserBack);
      ASSERT_EQ(window.Current(), kEditPhotosPage) << "round " << round;
      ++leftMidway;
      // The editor's loader works on the items again while the next run is started.
      frontEnd_.loop.PumpFor(std::chrono::milliseconds(random() % 100));
    }
    if (window.Current() == kEditPhotosPage) window.main.userBar.Click(kUserNext);
    EXPECT_TRUE(frontEnd_.loop.RunUntil([&] { return window.Current() == kPostCopyPage; }, 180s))
        << "seed " << seed << ", still on " << window.Current();
  });
  std::printf("left the upload %d times\n", leftMidway);

  const HttpReply albums = Server().Command("GetAlbums", user, Md5Hex("secret"),
                                            Form().Add("userID", 0).Add("albumID", int64_t{0}));
  const std::vector<std::string> entries = GetElements(GetElement(albums.body, "value"), "album");
  ASSERT_EQ(entries.size(), 1u) << "seed " << seed;
  EXPECT_EQ(GetElement(entries[0], "uploading"), "0");
  EXPECT_EQ(GetElement(entries[0], "photoCount"), std::to_string(kPhotos));
}

}  // namespace
}  // namespace zerva::test
