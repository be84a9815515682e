// The post-upload page on fake views against zerva-server: the album's texts and marks, the
// banners the service sends (those whose picture fails left out, a slow service never holding
// the page), the four buttons with their click counters reaching the statistics sent at
// shutdown, and the unattended upload's variant that closes the window.
#include "ui/post_copy_page.h"

#include <FreeImagePlus.h>
#include <gtest/gtest.h>

#include <chrono>
#include <mutex>

#include "app/elements.h"
#include "core/ui/page_test_fixture.h"
#include "lang/text.h"
#include "model/album_mngr.h"
#include "model/photo.h"
#include "ui/send_email_page.h"

namespace zerva::test {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

class PostCopyPageTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    user_ = NewAccount({"Trip"});
  }

  // Signs in and shows the post-upload page for the account's album, as an upload ends on it.
  void ShowPostCopy(CzervaApp& app, WindowHarness& window,
                    const std::function<void(CAlbum&)>& adjust = {}) {
    window.Start();
    SignInThroughThePage(window, user_, "secret");
    ASSERT_EQ(window.Current(), kAlbumsPage);
    ASSERT_EQ(app.AlbumMngr().albums.size(), 1u);
    {
      // The albums page's cover loader may be filling the record meanwhile, as when the page
      // opens an album.
      std::lock_guard<std::mutex> lock(app.AlbumMngr().ListLock());
      const CAlbum& entry = *app.AlbumMngr().albums[0];
      app.SetCurrentAlbumId(entry.albumID);
      app.CurrentAlbum() = entry;
    }
    if (adjust) adjust(app.CurrentAlbum());
    Server().ClearLog();
    ASSERT_TRUE(window.dlg.GoTo(kPostCopyPage, nullptr));
  }
  CPostCopyDlg& Page(WindowHarness& window) {
    return window.Controller<CPostCopyDlg>(PageId::kPostCopy);
  }
  bool WaitForBanners(WindowHarness& window) {
    return frontEnd_.loop.RunUntil([&] { return !Page(window).Loading(); }, seconds(20));
  }
  static std::vector<int> ShownBannerSlots(FakePageView& page) {
    std::vector<int> shown;
    for (int slot = 0; slot < kPostCopyBannerSlots; ++slot) {
      if (page.Shown(kPostCopyBannerFirst + slot)) shown.push_back(slot);
    }
    return shown;
  }

  std::string user_;
};

TEST_F(PostCopyPageTest, ShowsTheAlbumTheButtonsAndTheServicesBanners) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    ShowPostCopy(app, window);
    FakePageView& page = window.Page(PageId::kPostCopy);
    const std::string url = app.CurrentAlbum().AlbumUrl();
    ASSERT_FALSE(url.empty());
    EXPECT_EQ(window.main.header.GetText(kHeaderTitle), Text("PostCopyDlgTitle"));
    EXPECT_EQ(window.main.header.GetText(kHeaderText), Text("PostCopyDlgText"));
    EXPECT_EQ(page.GetText(kPostCopyMessage), Text("PostCopyDlgMsg"));
    EXPECT_EQ(page.GetText(kPostCopyAlbumName), "Trip");
    EXPECT_EQ(page.GetText(kPostCopyAddress), url);
    EXPECT_EQ(page.Find(kPostCopyPreview).tooltip, url);
    EXPECT_FALSE(page.Shown(kPostCopyMarks));
    EXPECT_EQ(page.GetText(kPostCopyView), Text("PostCopyDlgBtnView"));
    EXPECT_EQ(page.Find(kPostCopyView).tooltip, Text("EditAlbumsDlgUrlTool"));
    EXPECT_EQ(page.Find(kPostCopyCopy).tooltip, Text("PostCopyDlgCopyTool"));
    EXPECT_EQ(page.Find(kPostCopySend).tooltip, Text("EditAlbumsDlgSendTool"));
    EXPECT_EQ(page.Find(kPostCopyEdit).tooltip, Text("EditAlbumsDlgEditTool"));
    for (const int button : {kPostCopyView, kPostCopyCopy, kPostCopySend, kPostCopyEdit}) {
      EXPECT_TRUE(page.Shown(button)) << button;
    }
    EXPECT_EQ(page.GetText(kPostCopyReturn), Text("navBackPostCopy"));
    EXPECT_EQ(page.Find(kPostCopyReturn).tooltip, Text("navPrevAlbumsTool"));
    EXPECT_EQ(page.focus, kPostCopyReturn);
    for (const int control : {kUserNext, kUserBack}) {
      EXPECT_FALSE(window.main.userBar.Shown(control)) << control;
      EXPECT_FALSE(window.main.userBar.Enabled(control)) << control;
    }
    EXPECT_FALSE(page.TimerRunning(kPostCopyCloseTimer)) << "only an unattended upload closes";

    ASSERT_TRUE(WaitForBanners(window));
    // The demo service's two banners, in its order, with their titles as tooltips.
    ASSERT_EQ(Page(window).Banners().size(), 2u);
    EXPECT_EQ(ShownBannerSlots(page), (std::vector<int>{0, 1}));
    EXPECT_EQ(page.Find(kPostCopyBannerFirst).tooltip, "Order prints of this album");
    EXPECT_EQ(page.Find(kPostCopyBannerFirst + 1).tooltip, "Make a photo book");
    ASSERT_TRUE(page.Find(kPostCopyBannerFirst).picture);
    EXPECT_EQ(page.Find(kPostCopyBannerFirst).picture->getWidth(), 468u);

    page.Click(kPostCopyBannerFirst + 1);
    ASSERT_FALSE(frontEnd_.opened.empty());
    EXPECT_EQ(frontEnd_.opened.back(), "https://example.com/printshop/book");
  });
  const std::vector<LoggedRequest> asked = Server().LogOf("GetBanners");
  ASSERT_EQ(asked.size(), 1u);
  EXPECT_EQ(asked[0].Field("albumID"), std::to_string(app_->CurrentAlbum().albumID));
}

TEST_F(PostCopyPageTest, ABannerWhosePictureFailsIsLeftOutAndARefusalLeavesNone) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    ASSERT_TRUE(Server().InjectFault("banners/1.jpg", "404"));
    ShowPostCopy(app, window);
    FakePageView& page = window.Page(PageId::kPostCopy);
    ASSERT_TRUE(WaitForBanners(window));
    ASSERT_EQ(Page(window).Banners().size(), 1u);
    EXPECT_EQ(Page(window).Banners()[0].link, "https://example.com/printshop/book");
    EXPECT_EQ(ShownBannerSlots(page), std::vector<int>{0});
    EXPECT_EQ(page.Find(kPostCopyBannerFirst).tooltip, "Make a photo book");

    // Shown again with the service refusing: the page stays usable, with no banners.
    ASSERT_TRUE(Server().InjectFault("GetBanners", "error", 1, "9:No banners today"));
    ASSERT_TRUE(window.dlg.GoTo(kAlbumsPage, nullptr));
    ASSERT_TRUE(window.dlg.GoTo(kPostCopyPage, nullptr));
    ASSERT_TRUE(WaitForBanners(window));
    EXPECT_TRUE(Page(window).Banners().empty());
    EXPECT_TRUE(ShownBannerSlots(page).empty());
    EXPECT_TRUE(window.main.boxes.empty()) << "missing banners are no news for the user";
  });
}

TEST_F(PostCopyPageTest, ASlowServiceDoesNotHoldThePage) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    ASSERT_TRUE(Server().InjectFault("GetBanners", "delay", 1, "2500"));
    const auto before = std::chrono::steady_clock::now();
    ShowPostCopy(app, window);
    const auto shown = std::chrono::steady_clock::now() - before;
    EXPECT_LT(shown, milliseconds(2000)) << "the page waited for the banners";
    EXPECT_TRUE(Page(window).Loading());
    EXPECT_EQ(window.Current(), kPostCopyPage);
    ASSERT_TRUE(WaitForBanners(window));
    EXPECT_EQ(Page(window).Banners().size(), 2u);
  });
}

TEST_F(PostCopyPageTest, LeavingTheWindowWhileBannersLoadStopsTheLoad) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    ASSERT_TRUE(Server().InjectFault("banners/1.jpg", "delay", 1, "1500"));
    ShowPostCopy(app, window);
    EXPECT_TRUE(Page(window).Loading());
  });
  // The window went with its page while the picture was on its way; nothing was left running
  // to report to it (the sanitizers would tell).
  SUCCEED();
}

TEST_F(PostCopyPageTest, TheButtonsWorkAndTheirClicksReachTheStatistics) {
  std::map<int, int> before;
  std::map<int, int> after;
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    // The page entered its four buttons when the window made it.
    before = app.Statistics().Clicks();
    for (const int id : {1101, 1102, 1110, 1112}) EXPECT_EQ(before.count(id), 1u) << id;

    ShowPostCopy(app, window);
    FakePageView& page = window.Page(PageId::kPostCopy);
    const std::string url = app.CurrentAlbum().AlbumUrl();
    page.Click(kPostCopyView);
    page.Click(kPostCopyAddress);
    ASSERT_EQ(frontEnd_.opened.size(), 2u);
    EXPECT_EQ(frontEnd_.opened[0], url);
    EXPECT_EQ(frontEnd_.opened[1], url);

    page.Click(kPostCopyCopy);
    EXPECT_EQ(page.clipboard, url);

    page.Click(kPostCopySend);
    EXPECT_EQ(window.Current(), kSendEmailPage);
    window.main.userBar.Click(kUserBack);
    EXPECT_EQ(window.Current(), kPostCopyPage);

    page.Click(kPostCopyEdit);
    EXPECT_EQ(window.Current(), kEditPhotosPage);
    after = app.Statistics().Clicks();
  });
  EXPECT_EQ(after[1110] - before[1110], 2);
  EXPECT_EQ(after[1102] - before[1102], 1);
  EXPECT_EQ(after[1101] - before[1101], 1);
  EXPECT_EQ(after[1112] - before[1112], 1);
  // The statistic sent at shutdown carries the counts.
  const std::vector<LoggedRequest> sent = Server().LogOf("send_stat.php");
  ASSERT_EQ(sent.size(), 1u);
  const std::vector<std::string> clicks =
      GetElements(GetElement(sent[0].Field("statistic"), "clicks"), "click");
  std::map<int, int> reported;
  for (const std::string& click : clicks) {
    reported[static_cast<int>(GetElementInt(click, "btn"))] =
        static_cast<int>(GetElementInt(click, "count"));
  }
  for (const int id : {1101, 1102, 1110, 1112}) EXPECT_EQ(reported[id], after[id]) << id;
}

TEST_F(PostCopyPageTest, ReturnLeadsBackToTheAlbums) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    ShowPostCopy(app, window);
    window.Page(PageId::kPostCopy).Click(kPostCopyReturn);
    EXPECT_EQ(window.Current(), kAlbumsPage);
    EXPECT_EQ(window.main.closeRequests, 0);
  });
}

TEST_F(PostCopyPageTest, HiddenAndProtectedAlbumsShowTheirMarks) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    ShowPostCopy(app, window, [](CAlbum& album) {
      album.albumVisible = false;
      album.albumSecure = true;
    });
    FakePageView& page = window.Page(PageId::kPostCopy);
    const std::string url = app.CurrentAlbum().AlbumUrl();
    EXPECT_EQ(page.Find(kPostCopyPreview).tooltip,
              url + "\n" + Text("AlbumHiddenText") + "\n" + Text("AlbumPassText"));
    EXPECT_TRUE(page.Shown(kPostCopyMarks));
    EXPECT_NE(page.GetText(kPostCopyMarks).find(Text("AlbumPassText")), std::string::npos);
  });
}

TEST_F(PostCopyPageTest, ThePreviewIsACopyOfTheCoverItemsPicture) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    auto picture = std::make_shared<fipImage>(FIT_BITMAP, 40, 30, 24);
    ShowPostCopy(app, window, [&](CAlbum& album) {
      for (const char* name : {"left-out.jpg", "first.jpg", "cover.jpg"}) {
        auto item = std::make_unique<CPhoto>();
        item->fileName = name;
        item->included = std::string(name) != "left-out.jpg";
        if (std::string(name) == "cover.jpg") item->thumbnail = picture;
        album.items.push_back(std::move(item));
      }
      album.thumbName = "cover.jpg";
    });
    const ImagePtr shown = window.Page(PageId::kPostCopy).Find(kPostCopyPreview).picture;
    ASSERT_TRUE(shown);
    EXPECT_NE(shown, picture) << "the view must not share the item's picture";
    EXPECT_EQ(shown->getWidth(), 40u);
    ASSERT_TRUE(WaitForBanners(window));
  });
}

// An unattended upload: files given on the command line.
class UnattendedPostCopyTest : public PostCopyPageTest {
 protected:
  void RunUnattended(const std::function<void(CzervaApp&, WindowHarness&)>& code) {
    const std::string photo = PhotoFile(albumFolder_, "given.jpg", 64, 48);
    MakeApp();
    frontEnd_.windowCode = [&](CzervaApp& app) {
      WindowHarness window(app, *frontEnd_.dialogs);
      code(app, window);
      return 0;
    };
    RunApp({photo});
  }
};

TEST_F(UnattendedPostCopyTest, SaysTheWorkIsDoneAndClosesTheWindowAfterFiveSeconds) {
  RunUnattended([&](CzervaApp& app, WindowHarness& window) {
    ASSERT_TRUE(app.CommandLine().FilesGiven());
    ShowPostCopy(app, window);
    FakePageView& page = window.Page(PageId::kPostCopy);
    EXPECT_EQ(window.main.header.GetText(kHeaderTitle), Text("PostCopyDlgTitleUpl"));
    EXPECT_EQ(window.main.header.GetText(kHeaderText), Text("PostCopyDlgTextUpl"));
    for (const int button : {kPostCopyView, kPostCopyCopy, kPostCopySend, kPostCopyEdit}) {
      EXPECT_FALSE(page.Shown(button)) << button;
    }
    EXPECT_EQ(page.GetText(kPostCopyReturn), Text("msgVideoEnd"));
    EXPECT_EQ(page.Find(kPostCopyReturn).tooltip, Text("navPrevAlbumsToolUpl"));
    ASSERT_TRUE(page.TimerRunning(kPostCopyCloseTimer));
    EXPECT_EQ(page.timers[kPostCopyCloseTimer], 5000);
    EXPECT_EQ(window.main.closeRequests, 0);
    EXPECT_TRUE(page.Fire(kPostCopyCloseTimer));
    EXPECT_EQ(window.main.closeRequests, 1);
    ASSERT_TRUE(WaitForBanners(window));
  });
}

TEST_F(UnattendedPostCopyTest, TheReturnButtonClosesTheWindowAtOnce) {
  RunUnattended([&](CzervaApp& app, WindowHarness& window) {
    ShowPostCopy(app, window);
    FakePageView& page = window.Page(PageId::kPostCopy);
    page.Click(kPostCopyReturn);
    EXPECT_EQ(window.main.closeRequests, 1);
    EXPECT_EQ(window.Current(), kPostCopyPage) << "not the albums page";
    EXPECT_FALSE(page.TimerRunning(kPostCopyCloseTimer));
    ASSERT_TRUE(WaitForBanners(window));
  });
}

TEST_F(UnattendedPostCopyTest, ATimerOfAPageLeftMeanwhileClosesNothing) {
  RunUnattended([&](CzervaApp& app, WindowHarness& window) {
    ShowPostCopy(app, window);
    FakePageView& page = window.Page(PageId::kPostCopy);
    ASSERT_TRUE(window.dlg.GoTo(kAlbumsPage, nullptr));
    page.Fire(kPostCopyCloseTimer);
    EXPECT_EQ(window.main.closeRequests, 0);
    ASSERT_TRUE(WaitForBanners(window));
  });
}

}  // namespace
}  // namespace zerva::test
