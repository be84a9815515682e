// The login page against the service: what is stored when signing in, the remembered password,
// the history menu, the pages reached, refusals, the account lock and the album list question.
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/history_list.h"
#include "app/profile.h"
#include "core/media/item_fixtures.h"
#include "core/ui/page_test_fixture.h"
#include "lang/text.h"
#include "platform/md5.h"
#include "session/login_refusal.h"
#include "support/lock_holder.h"
#include "ui/create_account_dlg.h"
#include "ui/login_dlg.h"
#include "ui/user_bar.h"

namespace zerva::test {
namespace {

class LoginPageTest : public PageTest {
 protected:
  static std::string Email(const std::string& name) { return name + "@example.com"; }
};

TEST_F(LoginPageTest, TrimsTheEmailAndStoresItWithoutThePasswordWhenNotRemembered) {
  const std::string user = NewAccount({"Winter"});
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    window.Start();
    SignInThroughThePage(window, "  " + Email(user) + ";", "secret");
    EXPECT_TRUE(app.Session().IsSignedIn());
    EXPECT_EQ(window.Current(), kAlbumsPage);
    EXPECT_EQ(window.Page(PageId::kLogin).GetText(kLoginEmail), Email(user));
    const Profile& profile = AppProfile();
    EXPECT_EQ(profile.GetProfileString("setup", "email"), Email(user));
    EXPECT_EQ(profile.GetProfileString("setup", "pass"), "");
    EXPECT_EQ(EmailHistory(profile), std::vector<std::string>{Email(user)});
    // The user bar shows the user and restarts its refresh timer.
    EXPECT_TRUE(window.main.userBar.Shown(kUserName));
    EXPECT_TRUE(window.main.userBar.Shown(kUserLogout));
    EXPECT_GE(window.main.userBar.timerStarts[kUserRefreshTimer], 1);
  });
  const std::vector<LoggedRequest> logins = Server().LogOf("login.php");
  ASSERT_EQ(logins.size(), 1u);
  EXPECT_EQ(logins[0].Field("email"), Email(user));
  EXPECT_EQ(logins[0].Field("userPass"), Md5Hex("secret"));
}

TEST_F(LoginPageTest, EnterInAFieldSignsInAsTheLoginButtonDoes) {
  const std::string user = NewAccount({"Winter"});
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    window.Start();
    FakePageView& login = window.Page(PageId::kLogin);
    login.Type(kLoginEmail, Email(user));
    login.Type(kLoginPassword, "secret");
    login.PressEnter();
    EXPECT_TRUE(app.Session().IsSignedIn());
    EXPECT_EQ(window.Current(), kAlbumsPage);
  });
  EXPECT_EQ(Server().LogOf("login.php").size(), 1u);
}

TEST_F(LoginPageTest, RememberedPasswordIsStoredAsDigestAndSignsInAtTheNextStart) {
  const std::string user = NewAccount();
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    window.Start();
    window.Page(PageId::kLogin).Check(kLoginRemember, true);
    SignInThroughThePage(window, Email(user), "secret");
    ASSERT_TRUE(app.Session().IsSignedIn());
    EXPECT_EQ(AppProfile().GetProfileString("setup", "pass"), Md5Hex("secret"));
  });
  // A user without albums goes straight to the album editor.
  QueueAlbumFolder();
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    CLoginDlg& login = window.Controller<CLoginDlg>(PageId::kLogin);
    EXPECT_TRUE(login.HoldsStoredDigest());
    EXPECT_TRUE(window.Page(PageId::kLogin).IsChecked(kLoginRemember));
    window.Start();
    EXPECT_TRUE(app.Session().IsSignedIn());
    EXPECT_EQ(window.Current(), kEditPhotosPage);
    EXPECT_TRUE(app.AlbumMngr().albums.empty());
  });
}

TEST_F(LoginPageTest, EditingThePasswordDropsTheRememberedDigest) {
  AppProfile().WriteProfileString("setup", "email", "someone@example.com");
  AppProfile().WriteProfileString("setup", "pass", Md5Hex("old"));
  RunWindow([&](CzervaApp&, WindowHarness& window) {
    CLoginDlg& login = window.Controller<CLoginDlg>(PageId::kLogin);
    EXPECT_EQ(login.ReadPasswordDigest(), Md5Hex("old"));
    window.Page(PageId::kLogin).Type(kLoginPassword, "new");
    EXPECT_FALSE(login.HoldsStoredDigest());
    EXPECT_EQ(login.ReadPasswordDigest(), Md5Hex("new"));
    window.Page(PageId::kLogin).Type(kLoginPassword, "");
    EXPECT_EQ(login.ReadPasswordDigest(), "");
    // Unchecking "remember" forgets the stored digest at once.
    window.Page(PageId::kLogin).Check(kLoginRemember, false);
    EXPECT_EQ(AppProfile().GetProfileString("setup", "pass"), "");
  });
}

TEST_F(LoginPageTest, SigningInMovesTheAddressToTheEndOfTheHistoryAndTheTopOfTheMenu) {
  const std::string user = NewAccount({"One"});
  AppProfile().WriteProfileString(
      "setup", "EmailHistory",
      "<email>" + Email(user) + "</email><email>b@example.com</email><email>c@example.com</email>");
  RunWindow([&](CzervaApp&, WindowHarness& window) {
    CLoginDlg& login = window.Controller<CLoginDlg>(PageId::kLogin);
    EXPECT_EQ(login.HistoryMenu(),
              (std::vector<std::string>{"c@example.com", "b@example.com", Email(user)}));
    window.Start();
    SignInThroughThePage(window, Email(user), "secret");
    EXPECT_EQ(EmailHistory(AppProfile()),
              (std::vector<std::string>{"b@example.com", "c@example.com", Email(user)}));
    EXPECT_EQ(login.HistoryMenu().front(), Email(user));
  });
}

TEST_F(LoginPageTest, HistoryMenuChoosesAndRemovesEntries) {
  AppProfile().WriteProfileString("setup", "EmailHistory",
                                  "<email>a@example.com</email><email>b@example.com</email>");
  AppProfile().WriteProfileString("setup", "pass", Md5Hex("x"));
  RunWindow([&](CzervaApp&, WindowHarness& window) {
    FakePageView& page = window.Page(PageId::kLogin);
    window.Start();
    // Removing the newest entry through its context command, then choosing the other.
    page.contextChoices.push_back(0);
    page.menuChoices.push_back(1);
    page.Click(kLoginHistory);
    ASSERT_EQ(page.menus.size(), 1u);
    EXPECT_EQ(page.menus[0].items, (std::vector<std::string>{"b@example.com", "a@example.com"}));
    EXPECT_EQ(page.contextTexts,
              std::vector<std::string>{Text("msgRemoveEmail") + " b@example.com"});
    EXPECT_EQ(EmailHistory(AppProfile()), std::vector<std::string>{"a@example.com"});
    EXPECT_EQ(page.GetText(kLoginEmail), "a@example.com");
    EXPECT_FALSE(page.IsChecked(kLoginRemember));
    EXPECT_EQ(page.GetText(kLoginPassword), "");
    EXPECT_EQ(page.focus, kLoginPassword);
    EXPECT_FALSE(window.Controller<CLoginDlg>(PageId::kLogin).HoldsStoredDigest());
  });
}

TEST_F(LoginPageTest, RefusalShowsTheServicesTextUnderTheLoginCaption) {
  const std::string user = NewAccount();
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    window.Start();
    SignInThroughThePage(window, Email(user), "wrong");
    EXPECT_FALSE(app.Session().IsSignedIn());
    EXPECT_EQ(window.Current(), kLoginPage);
    ASSERT_EQ(window.main.boxes.size(), 1u);
    EXPECT_EQ(window.main.boxes[0].caption, "zerva.localhost | " + Text("loginError"));
    EXPECT_EQ(window.main.boxes[0].kind, MessageKind::kError);
    EXPECT_FALSE(window.main.boxes[0].text.empty());
    EXPECT_EQ(window.Page(PageId::kLogin).focus, kLoginPassword);
  });
}

TEST_F(LoginPageTest, AccountHeldByAnotherCopyIsRefusedAndThatCopyIsRaised) {
  const std::string user = NewAccount();
  int pipeFds[2];
  ASSERT_EQ(::pipe(pipeFds), 0);
  LockHolderProcess holder(Email(user), pipeFds[1]);
  ASSERT_TRUE(holder.Holds());
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    window.Start();
    SignInThroughThePage(window, Email(user), "secret");
    EXPECT_FALSE(app.Session().IsSignedIn());
    ASSERT_EQ(window.main.boxes.size(), 1u);
    EXPECT_EQ(window.main.boxes[0].text, NoMultipleLoginMessage(Email(user)));
  });
  char raised = 0;
  EXPECT_EQ(::read(pipeFds[0], &raised, 1), 1);
  EXPECT_EQ(raised, 'r');
  ::close(pipeFds[0]);
  ::close(pipeFds[1]);
  EXPECT_TRUE(Server().LogOf("login.php").empty());
}

TEST_F(LoginPageTest, GivingUpOnTheAlbumListReturnsToTheLoginPageWithoutAskingAgain) {
  const std::string user = NewAccount({"Kept"});
  AppProfile().WriteProfileString("setup", "email", Email(user));
  AppProfile().WriteProfileString("setup", "pass", Md5Hex("secret"));
  ASSERT_TRUE(Server().InjectFault("GetAlbums", "error", 3, "9:busy"));
  Replies().QueueReply(Reply::kNo);
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    window.Start();
    EXPECT_FALSE(app.Session().IsSignedIn());
    EXPECT_EQ(window.Current(), kLoginPage);
    // The remembered fields are kept, but not used again at once.
    EXPECT_EQ(window.Page(PageId::kLogin).GetText(kLoginEmail), Email(user));
  });
  const std::vector<ScriptedDialogs::Message> messages = Replies().Messages();
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, Text("msgLoadingErrorRetry"));
  EXPECT_EQ(Server().LogOf("GetAlbums").size(), 3u);
  EXPECT_EQ(Server().LogOf("login.php").size(), 1u);
}

TEST_F(LoginPageTest, CreateAccountCarriesTheTypedFieldsToTheAccountPage) {
  AppProfile().WriteProfileString("setup", "pass", Md5Hex("remembered"));
  RunWindow([&](CzervaApp&, WindowHarness& window) {
    window.Start();
    FakePageView& login = window.Page(PageId::kLogin);
    login.Type(kLoginEmail, " new@example.com ");
    login.Click(kLoginCreate);
    EXPECT_EQ(window.Current(), kCreateAccountPage);
    // A remembered digest is never handed over as a password.
    EXPECT_EQ(window.Page(PageId::kCreateAccount).GetText(kAccountPassword), "");
    EXPECT_EQ(window.Page(PageId::kCreateAccount).GetText(kAccountEmail), "new@example.com");

    window.Page(PageId::kCreateAccount).Click(kAccountCancel);
    EXPECT_EQ(window.Current(), kLoginPage);
    EXPECT_EQ(login.focus, kLoginCreate);
    login.Type(kLoginPassword, "typed");
    login.Click(kLoginCreate);
    EXPECT_EQ(window.Page(PageId::kCreateAccount).GetText(kAccountPassword), "typed");
  });
}

TEST_F(LoginPageTest, LogoutForgetsThePasswordAndShowsAnEmptyLoginPage) {
  const std::string user = NewAccount({"Album"});
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    window.Start();
    window.Page(PageId::kLogin).Check(kLoginRemember, true);
    SignInThroughThePage(window, Email(user), "secret");
    ASSERT_EQ(window.Current(), kAlbumsPage);
    ASSERT_TRUE(window.main.userBar.Enabled(kUserLogout));
    window.main.userBar.Click(kUserLogout);
    EXPECT_FALSE(app.Session().IsSignedIn());
    EXPECT_EQ(window.Current(), kLoginPage);
    FakePageView& login = window.Page(PageId::kLogin);
    EXPECT_EQ(login.GetText(kLoginEmail), "");
    EXPECT_EQ(login.GetText(kLoginPassword), "");
    EXPECT_FALSE(login.IsChecked(kLoginRemember));
    EXPECT_FALSE(window.main.userBar.Shown(kUserName));
    EXPECT_EQ(AppProfile().GetProfileString("setup", "pass"), "");
    EXPECT_EQ(AppProfile().GetProfileString("setup", "email"), Email(user));
  });
  EXPECT_EQ(Server().LogOf("set_setting.php").size(), 1u);
}

// An unattended upload: files on the command line (given one by one or in a list file) with a
// user name and a password. The "-lst" ... "-end" bracket is over once the list is read, so
// being inside it is not what makes the upload unattended.
class UnattendedStartTest : public LoginPageTest {
 protected:
  void SetUp() override {
    LoginPageTest::SetUp();
    user_ = NewAccount({"Earlier trip"});
    photos_ = {PhotoFile(folder_, "a.jpg", 64, 48), PhotoFile(folder_, "b.jpg", 64, 48)};
  }
  std::vector<std::string> Switches(const std::vector<std::string>& files) const {
    std::vector<std::string> args = {"-usr", user_, "-pwd", "secret", "-lbl", "Trip"};
    args.insert(args.end(), files.begin(), files.end());
    return args;
  }
  std::string user_;
  TempDir folder_;
  std::vector<std::string> photos_;
};

TEST_F(UnattendedStartTest, FilesGivenSignInByThemselvesNameTheWindowAndHideTheAccountLinks) {
  const std::string list = folder_.Write("photos.lst", photos_[0] + "\n" + photos_[1] + "\n");
  for (const std::vector<std::string>& files :
       {photos_, std::vector<std::string>{"-lst", list, "-end"}}) {
    RunWindow(
        [&](CzervaApp& app, WindowHarness& window) {
          ASSERT_TRUE(app.CommandLine().FilesGiven());
          EXPECT_EQ(window.main.title,
                    Text("mainTitle") + " | " + Text("msgBuild") + " 1.59.52.267 - Trip uploader");
          window.Start();
          EXPECT_TRUE(app.Session().IsSignedIn());
          EXPECT_EQ(window.Current(), kAlbumsPage);
          EXPECT_TRUE(window.main.title.ends_with(" - Trip uploader")) << window.main.title;
          EXPECT_FALSE(window.Page(PageId::kLogin).Shown(kLoginOr));
          // Signing out or changing the settings would leave the upload half done.
          for (const int link : {kUserSettings, kUserLogout}) {
            EXPECT_FALSE(window.main.userBar.Shown(link)) << link;
            EXPECT_FALSE(window.main.userBar.Enabled(link)) << link;
          }
          EXPECT_TRUE(window.main.userBar.Shown(kUserName));
        },
        Switches(files));
  }
  const std::vector<LoggedRequest> logins = Server().LogOf("login.php");
  ASSERT_EQ(logins.size(), 2u);
  EXPECT_EQ(logins[1].Field("userPass"), Md5Hex("secret"));
  EXPECT_TRUE(Replies().Messages().empty());
}

TEST_F(UnattendedStartTest, WithoutFilesTheWindowIsTheUsualOne) {
  std::vector<std::string> args = Switches({});
  args.insert(args.end(), {"-lst", folder_.Path() + "missing.lst"});  // inside an unended list
  RunWindow(
      [&](CzervaApp& app, WindowHarness& window) {
        EXPECT_EQ(window.main.title, Text("mainTitle") + " | " + Text("msgBuild") + " 1.59.52.267");
        window.Start();
        EXPECT_FALSE(app.Session().IsSignedIn());
        EXPECT_EQ(window.Current(), kLoginPage);
      },
      args);
  EXPECT_TRUE(Server().LogOf("login.php").empty());
}

TEST_F(UnattendedStartTest, GivingUpOnTheAlbumListDoesNotSignInAgainAndAskAgain) {
  ASSERT_TRUE(Server().InjectFault("GetAlbums", "error", 3, "9:busy"));
  Replies().QueueReply(Reply::kNo);
  RunWindow(
      [&](CzervaApp& app, WindowHarness& window) {
        window.Start();
        EXPECT_FALSE(app.Session().IsSignedIn());
        EXPECT_EQ(window.Current(), kLoginPage);
      },
      Switches(photos_));
  EXPECT_EQ(Replies().Messages().size(), 1u);
  EXPECT_EQ(Server().LogOf("login.php").size(), 1u);
}

}  // namespace
}  // namespace zerva::test
