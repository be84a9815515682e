// The upload page in the window: the session's display reaches the page's controls, the
// thumbnail view gets its own copy of the item's picture and repaints only when it changes, the
// display timers share the page's one timer, and leaving backwards during a run asks first
// while a jump does not.
#include "ui/upload_window_page.h"

#include <FreeImagePlus.h>
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "core/media/item_fixtures.h"
#include "core/ui/page_test_fixture.h"
#include "lang/text.h"
#include "model/album_items.h"

namespace zerva::test {
namespace {

class UploadWindowPageTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    user_ = NewAccount();
    PhotoFile(photos_, "a.jpg", 64, 48, 90, 1);
    PhotoFile(photos_, "b.jpg", 48, 64, 90, 2);
  }

  // Signed in through the login page, with a new album of the test's photos as the editor
  // hands it over.
  void SignedInWithAlbum(CzervaApp& app, WindowHarness& window) {
    window.Start();
    SignInThroughThePage(window, user_, "secret");
    app.Session().SetUploadDelayMs(0);
    CAlbum& album = app.CurrentAlbum();
    album.Clear();
    album.ownerName = app.Session().Name();
    album.tempFolder = app.Session().UserFolder();
    ASSERT_TRUE(AddFolder(album, photos_.Path()));
    album.localPath = photos_.Path();
    album.name = "Window trip";
    album.serverDir = "window_trip";
    album.albumID = -1;
    album.modified = true;
  }

  bool Asked(const std::string& key) {
    for (const auto& message : Replies().Messages()) {
      if (message.text.find(Text(key)) != std::string::npos) return true;
    }
    return false;
  }

  std::string user_;
  TempDir photos_;
};

TEST_F(UploadWindowPageTest, TheSessionRunsOnThePageControlsAndMovesOn) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    SignedInWithAlbum(app, window);
    FakePageView& page = window.Page(PageId::kCopy);
    EXPECT_EQ(page.Find(kCopyProgressBar).maximum, 100) << "set once when the page was made";
    ASSERT_TRUE(window.dlg.GoTo(kCopyPage, nullptr));
    EXPECT_EQ(window.main.header.GetText(kHeaderTitle), Text("CopyDlgTitle"));
    EXPECT_FALSE(window.main.userBar.Shown(kUserNext));
    EXPECT_TRUE(window.main.userBar.Shown(kUserBack));
    EXPECT_EQ(page.GetText(kCopyAlbumLink).rfind("www.", 0), 0u) << page.GetText(kCopyAlbumLink);
    // Whatever the display showed, the bar and its percentage agreed.
    std::vector<std::string> mismatches;
    const bool moved = frontEnd_.loop.RunUntil(
        [&] {
          std::this_thread::sleep_for(std::chrono::milliseconds(5));
          page.Fire(kCopyDisplayTimer);
          const std::string percent = page.GetText(kCopyPercent);
          const std::string bar = std::to_string(page.GetValue(kCopyProgressBar)) + "%";
          if (!percent.empty() && percent != bar) mismatches.push_back(percent + " / " + bar);
          return window.Current() != kCopyPage;
        },
        std::chrono::seconds(60));
    ASSERT_TRUE(moved);
    EXPECT_EQ(window.Current(), kPostCopyPage);
    EXPECT_TRUE(mismatches.empty()) << mismatches.front();
    EXPECT_GT(page.timerStarts[kCopyDisplayTimer], 0) << "progress arms the display timer";
    EXPECT_EQ(page.GetText(kCopyElapsed).size(), 5u) << page.GetText(kCopyElapsed);
    EXPECT_EQ(page.Find(kCopyThumbView).picture, nullptr) << "dropped at the end of the run";
    EXPECT_FALSE(Asked("msgCopyInProgress"));

    page.Click(kCopyAlbumLink);
    ASSERT_FALSE(frontEnd_.opened.empty());
    EXPECT_EQ(frontEnd_.opened.back(), app.CurrentAlbum().AlbumUrl());
  });
}

TEST_F(UploadWindowPageTest, TheThumbnailIsACopyRepaintedOnlyWhenItChanges) {
  RunWindow([&](CzervaApp& /*app*/, WindowHarness& window) {
    window.Start();
    auto& page = window.Controller<UploadWindowPage>(PageId::kCopy);
    FakePageView& view = window.Page(PageId::kCopy);
    CPhoto item;
    item.thumbnail = std::make_shared<fipImage>(FIT_BITMAP, 40, 30, 24);

    page.ShowJob("a.jpg", &item);
    const ImagePtr shown = view.Find(kCopyThumbView).picture;
    ASSERT_NE(shown, nullptr);
    EXPECT_NE(shown, item.thumbnail) << "the view never shares the item's picture";
    EXPECT_EQ(shown->getWidth(), 40u);
    EXPECT_EQ(view.GetText(kCopyJobName), "a.jpg");

    view.controls[kCopyThumbView].picture = nullptr;
    page.ShowJob("a.jpg (2)", &item);
    EXPECT_EQ(view.Find(kCopyThumbView).picture, nullptr) << "same item, same picture: no repaint";
    EXPECT_EQ(view.GetText(kCopyJobName), "a.jpg (2)");

    item.thumbnail = std::make_shared<fipImage>(FIT_BITMAP, 20, 30, 24);
    page.ShowJob("a.jpg", &item);
    ASSERT_NE(view.Find(kCopyThumbView).picture, nullptr) << "a new picture of the same item";
    EXPECT_EQ(view.Find(kCopyThumbView).picture->getWidth(), 20u);

    CPhoto bare;  // no thumbnail: only the frame
    page.ShowJob("b.jpg", &bare);
    EXPECT_EQ(view.Find(kCopyThumbView).picture, nullptr);
  });
}

TEST_F(UploadWindowPageTest, DisplayTimersShareThePageTimerInTheirOrder) {
  RunWindow([&](CzervaApp& /*app*/, WindowHarness& window) {
    window.Start();
    auto& page = window.Controller<UploadWindowPage>(PageId::kCopy);
    FakePageView& view = window.Page(PageId::kCopy);
    std::vector<int> fired;
    page.StartTimer(120, [&] { fired.push_back(120); });
    page.StartTimer(30, [&] { fired.push_back(30); });
    ASSERT_TRUE(view.TimerRunning(kCopyDisplayTimer));
    EXPECT_LE(view.timers[kCopyDisplayTimer], 30) << "armed for the earlier one";
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    ASSERT_TRUE(view.Fire(kCopyDisplayTimer));
    EXPECT_EQ(fired, (std::vector<int>{30}));
    ASSERT_TRUE(view.TimerRunning(kCopyDisplayTimer)) << "armed again for the later one";
    // Fired early (a timer is never exact): nothing is due yet, and it is armed again.
    ASSERT_TRUE(view.Fire(kCopyDisplayTimer));
    EXPECT_EQ(fired, (std::vector<int>{30}));
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_TRUE(view.Fire(kCopyDisplayTimer));
    EXPECT_EQ(fired, (std::vector<int>{30, 120}));
    EXPECT_FALSE(view.TimerRunning(kCopyDisplayTimer));
  });
}

TEST_F(UploadWindowPageTest, BackDuringTheRunAsksAndAJumpDoesNot) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    SignedInWithAlbum(app, window);
    auto& page = window.Controller<UploadWindowPage>(PageId::kCopy);
    ASSERT_TRUE(window.dlg.GoTo(kCopyPage, nullptr));
    ASSERT_TRUE(page.Session().InProgress());
    // A jump is no Back move: nothing is asked, the jobs are stopped all the same.
    ASSERT_TRUE(window.dlg.GoTo(kAlbumsPage, nullptr));
    EXPECT_FALSE(Asked("msgCopyInProgress"));
    EXPECT_FALSE(app.JobsMngr().IsRunning());

    ASSERT_TRUE(window.dlg.GoTo(kCopyPage, nullptr));
    ASSERT_TRUE(page.Session().InProgress());
    // Declined: the page stays and the run goes on.
    ASSERT_FALSE(window.dlg.Back());
    EXPECT_TRUE(Asked("msgCopyInProgress"));
    EXPECT_EQ(window.Current(), kCopyPage);
    EXPECT_TRUE(page.Session().InProgress());
    // The refused Back is still the wizard's last move: a jump after it asks nothing either.
    const size_t asked = Replies().Messages().size();
    ASSERT_TRUE(window.dlg.GoTo(kAlbumsPage, nullptr));
    EXPECT_EQ(Replies().Messages().size(), asked);

    ASSERT_TRUE(window.dlg.GoTo(kCopyPage, nullptr));
    ASSERT_TRUE(page.Session().InProgress());
    Replies().QueueReply(Reply::kYes);
    ASSERT_TRUE(window.dlg.Back());
    EXPECT_EQ(window.Current(), kEditPhotosPage);
    EXPECT_TRUE(page.Session().Cancelled());
    EXPECT_FALSE(app.JobsMngr().IsRunning());
  });
}

}  // namespace
}  // namespace zerva::test
