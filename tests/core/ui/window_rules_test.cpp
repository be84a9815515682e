// The main window's own rules without a service: the first page, title and size limit,
// tooltips, message captions, the status line, closing and logging out with unsaved work, the
// placement, and the window coming to the front when another copy asks.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>

#include "app/profile.h"
#include "core/ui/app_fixture.h"
#include "core/ui/page_fakes.h"
#include "lang/text.h"
#include "platform/login_lock.h"
#include "ui/login_dlg.h"
#include "ui/user_bar.h"
#include "ui/zerva_dlg.h"

namespace zerva::test {
namespace {

class WindowRulesTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ::setenv("LC_ALL", "C", 1);
    ASSERT_TRUE(Localization().LoadLocal());
  }
  void SetUp() override {
    app_ = std::make_unique<CzervaApp>(frontEnd_);
    window_ = std::make_unique<WindowHarness>(*app_, *frontEnd_.dialogs);
  }
  void TearDown() override {
    window_.reset();
    app_.reset();
  }
  ScriptedDialogs& Replies() { return *frontEnd_.dialogs; }

  IsolatedHome home_;
  FakeFrontEnd frontEnd_;
  std::unique_ptr<CzervaApp> app_;
  std::unique_ptr<WindowHarness> window_;
};

TEST_F(WindowRulesTest, FirstStartShowsTheLoginPageWithoutNavigationOrUser) {
  window_->Start();
  EXPECT_EQ(window_->Current(), kLoginPage);
  EXPECT_EQ(window_->main.visiblePage, PageId::kLogin);
  const FakePageView& bar = window_->main.userBar;
  EXPECT_FALSE(bar.Shown(kUserNext));
  EXPECT_FALSE(bar.Shown(kUserBack));
  for (const int control : {kUserName, kUserUrl, kUserSettings, kUserLogout, kUserService}) {
    EXPECT_FALSE(bar.Shown(control)) << control;
  }
  EXPECT_EQ(window_->main.header.GetText(kHeaderTitle), Text("LoginDlgTitle"));
  // Nothing remembered: nothing to sign in with, so nothing was asked.
  EXPECT_TRUE(window_->main.boxes.empty());
  EXPECT_EQ(window_->Page(PageId::kLogin).GetText(kLoginEmail), "");
}

TEST_F(WindowRulesTest, TitleCarriesTheVersionAndTheSizeFollowsTheScreen) {
  EXPECT_EQ(window_->main.title, Text("mainTitle") + " | " + Text("msgBuild") + " 1.59.52.267");
  EXPECT_EQ(window_->main.minWidth, 914);
  EXPECT_EQ(window_->main.minHeight, 680);
  window_->dlg.OnDisplayChange(800, 600);
  EXPECT_EQ(window_->main.minWidth, 632);
  EXPECT_EQ(window_->main.minHeight, 524);
  // Both dimensions must be larger than 800 x 600.
  for (const auto& [w, h] : {std::pair{801, 600}, {800, 601}}) {
    const TrackSize size = MinTrackSize(w, h);
    EXPECT_EQ(size.width, 632);
    EXPECT_EQ(size.height, 524);
  }
  const TrackSize large = MinTrackSize(801, 601);
  EXPECT_EQ(large.width, 914);
  EXPECT_EQ(large.height, 680);
}

TEST_F(WindowRulesTest, TooltipsShowLiteralsAfterTheMarkAndTranslateKeys) {
  EXPECT_EQ(TooltipText("@@@Jan Novák"), "Jan Novák");
  EXPECT_EQ(TooltipText("@@@msgInfo"), "msgInfo");
  EXPECT_EQ(TooltipText("msgInfo"), Text("msgInfo"));
  EXPECT_EQ(TooltipText(""), "");
  EXPECT_EQ(TooltipText("@@@"), "");

  window_->dlg.SetNextButton("Go", "@@@literal tip");
  EXPECT_EQ(window_->main.userBar.Find(kUserNext).tooltip, "literal tip");
  window_->dlg.SetBackButton("Back", "msgWarning");
  EXPECT_EQ(window_->main.userBar.Find(kUserBack).tooltip, Text("msgWarning"));
  window_->dlg.SetBackButton("Back", "");
  EXPECT_EQ(window_->main.userBar.Find(kUserBack).tooltip, "");
}

TEST_F(WindowRulesTest, PageMessageBoxesCarryTheServiceNameAndTheirKind) {
  CZervaDialog& page = *window_->dlg.Pages().Page(PageId::kAlbums);
  page.ErrorBox("e");
  Replies().QueueReply(Reply::kYes);
  EXPECT_EQ(page.WarningQuestion("w"), Reply::kYes);
  page.InfoBox("i");
  Replies().QueueReply(Reply::kNo);
  EXPECT_EQ(page.InfoQuestion("q", Text("msgWarning")), Reply::kNo);
  const std::vector<FakeMainView::Box>& boxes = window_->main.boxes;
  ASSERT_EQ(boxes.size(), 4u);
  EXPECT_EQ(boxes[0].caption, "zerva.localhost | " + Text("msgError"));
  EXPECT_EQ(boxes[0].buttons, MessageButtons::kOk);
  EXPECT_EQ(boxes[1].caption, "zerva.localhost | " + Text("msgWarning"));
  EXPECT_EQ(boxes[1].buttons, MessageButtons::kYesNo);
  EXPECT_EQ(boxes[2].caption, "zerva.localhost | " + Text("msgInfo"));
  // The information question takes the caller's caption.
  EXPECT_EQ(boxes[3].kind, MessageKind::kInformation);
  EXPECT_EQ(boxes[3].caption, "zerva.localhost | " + Text("msgWarning"));
}

TEST_F(WindowRulesTest, StatusLineFollowsTheSelfUpdate) {
  EXPECT_EQ(UpdateStatusText(0), "");
  EXPECT_EQ(UpdateStatusText(-5), "");
  EXPECT_EQ(UpdateStatusText(1), Text("msgUpdating") + " (1 %)");
  EXPECT_EQ(UpdateStatusText(99), Text("msgUpdating") + " (99 %)");
  EXPECT_EQ(UpdateStatusText(100), Text("msgUpdateFinished"));
  window_->dlg.UserBar().SetUpdateStatus(42);
  EXPECT_EQ(window_->main.userBar.GetText(kUserStatus), Text("msgUpdating") + " (42 %)");
  // A language change keeps the notice, in the new words.
  window_->dlg.OnLanguageChanged();
  EXPECT_EQ(window_->main.userBar.GetText(kUserStatus), Text("msgUpdating") + " (42 %)");
  window_->dlg.UserBar().SetUpdateStatus(0);
  EXPECT_EQ(window_->main.userBar.GetText(kUserStatus), "");
}

TEST_F(WindowRulesTest, ClosingWithUnsavedWorkAsksAndNoKeepsTheWindow) {
  window_->Start();
  app_->CurrentAlbum().modified = true;
  Replies().QueueReply(Reply::kNo);
  EXPECT_FALSE(window_->dlg.OnClose());
  ASSERT_EQ(window_->main.boxes.size(), 1u);
  EXPECT_EQ(window_->main.boxes[0].text, Text("msgNotSavedOnExit"));
  EXPECT_EQ(window_->main.boxes[0].kind, MessageKind::kWarning);
  EXPECT_EQ(window_->main.traceClosed, 0);
  EXPECT_TRUE(app_->CurrentAlbum().modified);
  EXPECT_EQ(window_->Current(), kLoginPage);

  Replies().QueueReply(Reply::kYes);
  EXPECT_TRUE(window_->dlg.OnClose());
  EXPECT_EQ(window_->main.traceClosed, 1);
}

TEST_F(WindowRulesTest, LogoutWithUnsavedWorkAnsweredNoChangesNothing) {
  window_->Start();
  app_->CurrentAlbum().modified = true;
  AppProfile().WriteProfileString("setup", "pass", "0123456789abcdef0123456789abcdef");
  Replies().QueueReply(Reply::kNo);
  window_->main.userBar.Click(kUserLogout);
  EXPECT_EQ(window_->main.boxes.size(), 1u);
  EXPECT_EQ(AppProfile().GetProfileString("setup", "pass"), "0123456789abcdef0123456789abcdef");
}

TEST_F(WindowRulesTest, PlacementIsKeptUnderTheWindowsName) {
  WindowPlacement placement;
  placement.left = 10;
  placement.top = 20;
  placement.right = 1010;
  placement.bottom = 720;
  placement.showCmd = 3;
  window_->dlg.SavePlacement(placement);
  EXPECT_EQ(AppProfile().GetProfileString("ResizableState", "zervaDlgWindowPlacement"),
            "10,20,1010,720,3,0,0,0");
  EXPECT_EQ(window_->dlg.LoadPlacement(), placement);
  AppProfile().WriteProfileString("ResizableState", "zervaDlgWindowPlacement", "1,2,3");
  EXPECT_FALSE(window_->dlg.LoadPlacement().has_value());
}

TEST_F(WindowRulesTest, AnotherCopyAskingForTheAccountBringsTheWindowToTheFront) {
  const std::string name = "raise" + std::to_string(::getpid()) + "@example.com";
  ASSERT_FALSE(app_->Session().LockLogin(name));
  EXPECT_TRUE(RequestRaise(name));
  // The lock's listener posts; the window comes to the front on the user-interface thread.
  EXPECT_TRUE(
      frontEnd_.loop.RunUntil([&] { return window_->main.raised == 1; }, std::chrono::seconds(5)));
  app_->Session().ReleaseLoginLock();
}

TEST_F(WindowRulesTest, AnnouncementAddressesAreEscapedButKeepTheirSeparators) {
  EXPECT_EQ(CanonicalizeUrl("http://example.com/news?id=5&x=a:b"),
            "http://example.com/news?id=5&x=a:b");
  EXPECT_EQ(CanonicalizeUrl("http://example.com/a b%c\"d"), "http://example.com/a%20b%25c%22d");
  EXPECT_EQ(CanonicalizeUrl("http://example.com/\xc5\xa1"), "http://example.com/%C5%A1");
}

}  // namespace
}  // namespace zerva::test
