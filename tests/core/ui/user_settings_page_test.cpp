// The user settings page and the user bar that leads to it: what Next sends, the password and
// web address rules, the language switched on the page, and what Back discards.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "app/profile.h"
#include "core/ui/page_test_fixture.h"
#include "lang/text.h"
#include "net/endpoints.h"
#include "platform/md5.h"
#include "ui/edit_user_detail_dlg.h"

namespace zerva::test {
namespace {

TEST(WebAddress, GetsAScheme) {
  EXPECT_EQ(WebAddressToStore(""), "");
  EXPECT_EQ(WebAddressToStore("example.org"), "http://example.org");
  EXPECT_EQ(WebAddressToStore("http://example.org/me"), "http://example.org/me");
  EXPECT_EQ(WebAddressToStore("https://example.org"), "https://example.org");
}

class UserSettingsPageTest : public PageTest {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    user_ = NewAccount({"Album"});
  }
  // Signs in (remembering the password when asked) and opens the settings from the user bar.
  void OpenSettings(WindowHarness& window, bool remember = false) {
    window.Start();
    window.Page(PageId::kLogin).Check(kLoginRemember, remember);
    SignInThroughThePage(window, user_, "secret");
    ASSERT_EQ(window.Current(), kAlbumsPage);
    Server().ClearLog();
    window.main.userBar.Click(kUserSettings);
    ASSERT_EQ(window.Current(), kEditUserDetailPage);
  }
  size_t Saves() { return Server().LogOf("SetUserDetails").size(); }

  std::string user_;
};

TEST_F(UserSettingsPageTest, ShowsTheProfileAndNextWithoutChangesSendsNothing) {
  RunWindow([&](CzervaApp&, WindowHarness& window) {
    OpenSettings(window);
    FakePageView& page = window.Page(PageId::kEditUserDetail);
    EXPECT_EQ(page.GetText(kSettingsPass1), kPasswordPlaceholder);
    EXPECT_EQ(page.GetText(kSettingsPass2), kPasswordPlaceholder);
    EXPECT_FALSE(page.Shown(kSettingsMaps));
    EXPECT_EQ(page.Find(kSettingsMaps).items.size(), 2u);
    EXPECT_EQ(window.main.userBar.GetText(kUserNext), Text("navNextEditUser"));
    EXPECT_EQ(window.main.userBar.Find(kUserNext).tooltip, "");
    EXPECT_TRUE(window.main.userBar.Shown(kUserBack));
    window.main.userBar.Click(kUserNext);
    EXPECT_EQ(window.Current(), kAlbumsPage);
  });
  EXPECT_EQ(Saves(), 0u);
}

TEST_F(UserSettingsPageTest, SavesTheProfileWithAWebAddressScheme) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenSettings(window);
    FakePageView& page = window.Page(PageId::kEditUserDetail);
    page.Type(kSettingsFullName, "Jan Novák");
    page.Type(kSettingsDesc, "Line one\r\nLine two");
    page.Type(kSettingsWww, "example.org/jan");
    page.Check(kSettingsExifName, true);
    EXPECT_EQ(window.main.userBar.Find(kUserNext).tooltip, Text("navNextEditUserTool"));
    window.main.userBar.Click(kUserNext);
    EXPECT_EQ(window.Current(), kAlbumsPage);
    const UserDetails& details = app.Session().Details();
    EXPECT_EQ(details.fullName, "Jan Novák");
    EXPECT_EQ(details.www, "http://example.org/jan");
    EXPECT_EQ(details.description, "Line one\nLine two");
    EXPECT_TRUE(app.Session().Settings().useExifName);
    // The user bar shows the new name untranslated.
    EXPECT_EQ(window.main.userBar.GetText(kUserName), "Jan Novák");
    EXPECT_EQ(window.main.userBar.Find(kUserName).tooltip, "Jan Novák");
  });
  const std::vector<LoggedRequest> saves = Server().LogOf("SetUserDetails");
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0].Field("fullName"), "Jan Novák");
  EXPECT_EQ(saves[0].Field("www"), "http://example.org/jan");
  EXPECT_EQ(saves[0].Field("changePass"), "0");
}

TEST_F(UserSettingsPageTest, EnterInAOneLineFieldSavesAsNextDoes) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenSettings(window);
    FakePageView& page = window.Page(PageId::kEditUserDetail);
    // Two different passwords are refused as they are by Next.
    page.Type(kSettingsPass1, "one");
    page.Type(kSettingsPass2, "two");
    page.PressEnter();
    EXPECT_EQ(window.Current(), kEditUserDetailPage);
    EXPECT_EQ(Saves(), 0u);
    page.Type(kSettingsPass2, "one");
    page.Type(kSettingsFullName, "Eva Malá");
    page.PressEnter();
    EXPECT_EQ(window.Current(), kAlbumsPage);
    EXPECT_EQ(app.Session().Details().fullName, "Eva Malá");
  });
  EXPECT_EQ(Saves(), 1u);
}

TEST_F(UserSettingsPageTest, DifferentPasswordsAreRefusedAndNothingIsSent) {
  RunWindow([&](CzervaApp&, WindowHarness& window) {
    OpenSettings(window);
    FakePageView& page = window.Page(PageId::kEditUserDetail);
    page.Type(kSettingsPass1, "first");
    page.Type(kSettingsPass2, "second");
    window.main.userBar.Click(kUserNext);
    EXPECT_EQ(window.Current(), kEditUserDetailPage);
    ASSERT_EQ(window.main.boxes.size(), 1u);
    EXPECT_EQ(window.main.boxes[0].text, Text("msgPasswordNotAgree"));
    EXPECT_EQ(window.main.boxes[0].kind, MessageKind::kWarning);
    EXPECT_EQ(page.focus, kSettingsPass1);
  });
  EXPECT_EQ(Saves(), 0u);
}

TEST_F(UserSettingsPageTest, EqualPasswordsReplaceTheRememberedDigest) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenSettings(window, true);
    ASSERT_EQ(AppProfile().GetProfileString("setup", "pass"), Md5Hex("secret"));
    FakePageView& page = window.Page(PageId::kEditUserDetail);
    page.Type(kSettingsPass1, "changed");
    page.Type(kSettingsPass2, "changed");
    window.main.userBar.Click(kUserNext);
    EXPECT_EQ(window.Current(), kAlbumsPage);
    EXPECT_EQ(app.Session().PasswordDigest(), Md5Hex("changed"));
    EXPECT_EQ(AppProfile().GetProfileString("setup", "pass"), Md5Hex("changed"));
    EXPECT_FALSE(app.Session().Details().changePassword);
  });
  const std::vector<LoggedRequest> saves = Server().LogOf("SetUserDetails");
  ASSERT_EQ(saves.size(), 1u);
  EXPECT_EQ(saves[0].Field("changePass"), "1");
  EXPECT_EQ(saves[0].Field("newPass"), Md5Hex("changed"));
}

TEST_F(UserSettingsPageTest, LanguageChangedAndDiscardedSwitchesBack) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenSettings(window);
    FakePageView& page = window.Page(PageId::kEditUserDetail);
    const std::vector<std::string>& names = page.Find(kSettingsLanguage).items;
    const int czech =
        static_cast<int>(std::find(names.begin(), names.end(), "čeština") - names.begin());
    page.Choose(kSettingsLanguage, czech);
    EXPECT_EQ(app.Lang().LocationId(), 1029);
    EXPECT_EQ(window.main.header.GetText(kHeaderTitle), Text("EditUserDetailDlgTitle"));
    EXPECT_TRUE(window.Controller<CEditUserDetailDlg>(PageId::kEditUserDetail).LanguageChanged());

    // No keeps the page, Yes discards and speaks the account's language again.
    const std::string question = Text("msgEditedUserDetail");
    const std::string caption = "zerva.localhost | " + Text("msgWarning");
    Replies().QueueReply(Reply::kNo);
    window.main.userBar.Click(kUserBack);
    EXPECT_EQ(window.Current(), kEditUserDetailPage);
    Replies().QueueReply(Reply::kYes);
    window.main.userBar.Click(kUserBack);
    EXPECT_EQ(window.Current(), kAlbumsPage);
    EXPECT_EQ(app.Lang().LocationId(), 1033);
    ASSERT_EQ(window.main.boxes.size(), 2u);
    EXPECT_EQ(window.main.boxes[1].text, question);
    EXPECT_EQ(window.main.boxes[1].kind, MessageKind::kInformation);
    EXPECT_EQ(window.main.boxes[1].caption, caption);
  });
  EXPECT_EQ(Saves(), 0u);
}

TEST_F(UserSettingsPageTest, RefusedSaveKeepsThePageAndTheInput) {
  RunWindow([&](CzervaApp&, WindowHarness& window) {
    OpenSettings(window);
    ASSERT_TRUE(Server().InjectFault("SetUserDetails", "error", 1, "9:refused"));
    FakePageView& page = window.Page(PageId::kEditUserDetail);
    page.Type(kSettingsFullName, "Someone");
    window.main.userBar.Click(kUserNext);
    EXPECT_EQ(window.Current(), kEditUserDetailPage);
    ASSERT_EQ(window.main.boxes.size(), 1u);
    EXPECT_EQ(window.main.boxes[0].text, Text("msgSaveError"));
    EXPECT_EQ(page.GetText(kSettingsFullName), "Someone");
  });
}

TEST_F(UserSettingsPageTest, UserBarOffersTheSettingsWhileTheFullNameIsMissing) {
  RunWindow([&](CzervaApp&, WindowHarness& window) {
    window.Start();
    SignInThroughThePage(window, user_, "secret");
    ASSERT_EQ(window.Current(), kAlbumsPage);
    FakePageView& bar = window.main.userBar;
    EXPECT_EQ(bar.GetText(kUserName), Text("userFillFullName"));
    EXPECT_EQ(bar.Find(kUserName).tooltip, Text("EditUserDetailDlgTitle"));
    EXPECT_EQ(bar.GetText(kUserVip), "");
    bar.Click(kUserName);
    EXPECT_EQ(window.Current(), kEditUserDetailPage);
    // Away from the albums page the links are gone.
    EXPECT_FALSE(bar.Shown(kUserSettings));
    EXPECT_FALSE(bar.Enabled(kUserLogout));
  });
}

TEST_F(UserSettingsPageTest, VipUsersAreMarked) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    window.Start();
    // The demo account "vip" is shared with other suites that may hold its lock for a moment.
    for (int attempt = 0; attempt < 50 && !app.Session().IsSignedIn(); ++attempt) {
      if (attempt > 0) std::this_thread::sleep_for(std::chrono::milliseconds(100));
      SignInThroughThePage(window, "vip", "vip");
    }
    ASSERT_TRUE(app.Session().IsSignedIn());
    EXPECT_EQ(window.main.userBar.GetText(kUserVip), Text("userVIP"));
    window.main.userBar.Click(kUserUrl);
    window.main.userBar.Click(kUserService);
  });
  EXPECT_EQ(frontEnd_.opened, (std::vector<std::string>{UserSiteUrl("vip"), ServiceUrl()}));
}

}  // namespace
}  // namespace zerva::test
