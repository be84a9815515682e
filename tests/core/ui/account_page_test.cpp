// Account creation: the field rules, the live checks while typing, the service's answer codes,
// the language of the page and the hand-over to the login page.
#include <gtest/gtest.h>
#include <unistd.h>

#include "app/profile.h"
#include "core/ui/page_test_fixture.h"
#include "lang/text.h"
#include "platform/md5.h"
#include "ui/create_account_dlg.h"
#include "ui/login_dlg.h"

namespace zerva::test {
namespace {

std::string Repeat(const std::string& piece, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += piece;
  return text;
}

TEST(AccountRules, NickAndEmailLocalRules) {
  EXPECT_EQ(NickLocalError(""), "btnNickEmpty");
  EXPECT_EQ(NickLocalError(Repeat("a", 25)), "");
  EXPECT_EQ(NickLocalError(Repeat("a", 26)), "btnNickFormat2");
  // Characters, not bytes: 25 Czech letters are 50 bytes and still fit.
  EXPECT_EQ(NickLocalError(Repeat("ř", 25)), "");
  EXPECT_EQ(NickLocalError(Repeat("ř", 26)), "btnNickFormat2");
  EXPECT_EQ(EmailLocalError(""), "btnEmailEmpty");
  EXPECT_EQ(EmailLocalError("someone.example.com"), "btnEmailFormat");
  EXPECT_EQ(EmailLocalError("someone@example.com"), "");
}

TEST(AccountRules, PasswordLettersAndLength) {
  EXPECT_EQ(PasswordError(""), "btnPasswdEmpty");
  EXPECT_EQ(PasswordError(" !~azAZ09"), "");
  EXPECT_EQ(PasswordError("Žluťoučký kůň úpěl ďábelské ódy §"), "");
  EXPECT_EQ(PasswordError("ŠŤŽšťžÁČÉĚÍĎŇÓŘŮÚÝáčéěíďňóřůúý"), "");
  for (const std::string& bad :
       {std::string("tab\there"), std::string("euro€"), std::string("ä"), std::string("line\n"),
        std::string("\x80\x81"), std::string("cut\xc5")}) {
    EXPECT_EQ(PasswordError(bad), "btnPasswdFormat") << bad;
  }
  EXPECT_EQ(PasswordError(Repeat("x", 128)), "");
  EXPECT_EQ(PasswordError(Repeat("x", 129)), "btnPasswdFormat2");
  EXPECT_EQ(PasswordError(Repeat("č", 128)), "");
  EXPECT_EQ(PasswordError(Repeat("č", 129)), "btnPasswdFormat2");
  // A wrong letter is named before the length.
  EXPECT_EQ(PasswordError(Repeat("x", 200) + "€"), "btnPasswdFormat");
}

TEST(AccountRules, ServiceCodes) {
  EXPECT_EQ(NickCheckError(0), "");
  EXPECT_EQ(NickCheckError(1), "btnNickFormat");
  EXPECT_EQ(NickCheckError(2), "btnNickUsed");
  EXPECT_EQ(EmailCheckError(1), "btnEmailFormat");
  EXPECT_EQ(EmailCheckError(2), "btnEmailUsed");
  EXPECT_EQ(EmailCheckError(7), "");

  EXPECT_TRUE(InterpretCreateUser(0, 12).created);
  const std::tuple<long long, AccountField, const char*> table[] = {
      {1, AccountField::kNick, "btnNickEmpty"},
      {4, AccountField::kNick, "btnNickFormat"},
      {6, AccountField::kNick, "btnNickUsed"},
      {2, AccountField::kEmail, "btnEmailEmpty"},
      {5, AccountField::kEmail, "btnEmailFormat"},
      {7, AccountField::kEmail, "btnEmailUsed"},
      {3, AccountField::kPassword, "btnPasswdEmpty"},
      {9, AccountField::kPassword, "btnPasswdFormat"},
      {8, AccountField::kNick, "msgCreateAccountFailed"},
      {42, AccountField::kNick, "msgCreateAccountFailed"},
      // Success without an account is no success.
      {0, AccountField::kNick, "msgCreateAccountFailed"},
  };
  for (const auto& [code, field, key] : table) {
    const CreateUserOutcome outcome = InterpretCreateUser(code, 0);
    EXPECT_FALSE(outcome.created) << code;
    EXPECT_EQ(outcome.field, field) << code;
    EXPECT_EQ(outcome.errorKey, key) << code;
  }
}

class AccountPageTest : public PageTest {
 protected:
  // Opens the account page from the login page.
  static void OpenAccountPage(WindowHarness& window, const std::string& email = {},
                              const std::string& password = {}) {
    window.Start();
    FakePageView& login = window.Page(PageId::kLogin);
    login.Type(kLoginEmail, email);
    login.Type(kLoginPassword, password);
    login.Click(kLoginCreate);
    ASSERT_EQ(window.Current(), kCreateAccountPage);
  }
  static std::string UniqueNick() {
    static int count = 0;
    return "nick" + std::to_string(::getpid()) + "x" + std::to_string(++count);
  }
  size_t Checks(const std::string& script) { return Server().LogOf(script).size(); }
};

TEST_F(AccountPageTest, ShowingThePageValidatesTheHandedOverFields) {
  const std::string email = UniqueNick() + "@example.com";
  RunWindow([&](CzervaApp&, WindowHarness& window) {
    OpenAccountPage(window, email, "pass word");
    FakePageView& page = window.Page(PageId::kCreateAccount);
    CreateAccountDlg& account = window.Controller<CreateAccountDlg>(PageId::kCreateAccount);
    EXPECT_EQ(page.GetText(kAccountEmail), email);
    EXPECT_EQ(page.GetText(kAccountPassword), "pass word");
    EXPECT_EQ(account.ErrorKey(AccountField::kNick), "btnNickEmpty");
    EXPECT_EQ(page.GetText(kAccountNickStatus), Text("btnNickEmpty"));
    EXPECT_EQ(account.ErrorKey(AccountField::kEmail), "");
    EXPECT_EQ(account.ErrorKey(AccountField::kPassword), "");
    EXPECT_FALSE(page.Enabled(kAccountCreate));
    EXPECT_EQ(page.focus, kAccountNick);
    // The hand-over values are used once.
    EXPECT_EQ(window.dlg.HandOver().prefillEmail, "");
  });
  EXPECT_EQ(Checks("createUserCheckEmail.php"), 1u);
  EXPECT_EQ(Checks("createUserCheckUserName.php"), 0u);
}

TEST_F(AccountPageTest, QuickTypingIsCheckedOnceAfterThePause) {
  RunWindow([&](CzervaApp&, WindowHarness& window) {
    OpenAccountPage(window);
    Server().ClearLog();
    FakePageView& page = window.Page(PageId::kCreateAccount);
    for (const char* text : {"d", "de", "dem", "demo"}) page.Type(kAccountNick, text);
    EXPECT_EQ(page.timers[kNickTimer], kValidationDelayMs);
    EXPECT_EQ(page.timerStarts[kNickTimer], 4);
    EXPECT_EQ(Checks("createUserCheckUserName.php"), 0u);
    ASSERT_TRUE(page.Fire(kNickTimer));
    EXPECT_FALSE(page.TimerRunning(kNickTimer));
    const std::vector<LoggedRequest> checks = Server().LogOf("createUserCheckUserName.php");
    ASSERT_EQ(checks.size(), 1u);
    EXPECT_EQ(checks[0].Field("userName"), "demo");
    EXPECT_EQ(page.GetText(kAccountNickStatus), Text("btnNickUsed"));
    // The same value again is not checked again.
    page.Type(kAccountNick, "demo");
    page.Fire(kNickTimer);
    EXPECT_EQ(Checks("createUserCheckUserName.php"), 1u);
  });
}

TEST_F(AccountPageTest, LongNickAndBadPasswordAreRefusedWithoutAskingTheService) {
  RunWindow([&](CzervaApp&, WindowHarness& window) {
    OpenAccountPage(window);
    Server().ClearLog();
    FakePageView& page = window.Page(PageId::kCreateAccount);
    page.Type(kAccountNick, Repeat("n", 26));
    page.Fire(kNickTimer);
    EXPECT_EQ(page.GetText(kAccountNickStatus), Text("btnNickFormat2"));
    page.Type(kAccountPassword, Repeat("p", 129));
    page.Fire(kPasswordTimer);
    EXPECT_EQ(page.GetText(kAccountPasswordStatus), Text("btnPasswdFormat2"));
    page.Type(kAccountPassword, "heslo€");
    page.Fire(kPasswordTimer);
    EXPECT_EQ(page.GetText(kAccountPasswordStatus), Text("btnPasswdFormat"));
    page.Type(kAccountEmail, "demo@zerva.localhost");
    page.Fire(kEmailTimer);
    EXPECT_EQ(page.GetText(kAccountEmailStatus), Text("btnEmailUsed"));
    EXPECT_FALSE(page.Enabled(kAccountCreate));
  });
  EXPECT_EQ(Checks("createUserCheckUserName.php"), 0u);
  EXPECT_EQ(Checks("createUserCheckEmail.php"), 1u);
}

TEST_F(AccountPageTest, CreatedAccountIsSignedInFromTheLoginPage) {
  const std::string nick = UniqueNick();
  const std::string email = nick + "@example.com";
  QueueAlbumFolder();
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenAccountPage(window);
    FakePageView& page = window.Page(PageId::kCreateAccount);
    page.Type(kAccountNick, nick);
    page.Type(kAccountEmail, email);
    page.Type(kAccountPassword, "Nové heslo");
    for (const int timer : {kNickTimer, kEmailTimer, kPasswordTimer}) page.Fire(timer);
    ASSERT_TRUE(page.Enabled(kAccountCreate));
    // Enter creates the account on this page.
    page.events->OnEnter();
    EXPECT_TRUE(app.Session().IsSignedIn());
    EXPECT_EQ(app.Session().Name(), nick);
    EXPECT_EQ(window.Current(), kEditPhotosPage);
    FakePageView& login = window.Page(PageId::kLogin);
    EXPECT_TRUE(login.Shown(kLoginNotice));
    EXPECT_FALSE(login.Enabled(kLoginCreate));
    EXPECT_TRUE(login.IsChecked(kLoginRemember));
    EXPECT_EQ(AppProfile().GetProfileString("setup", "pass"), Md5Hex("Nové heslo"));
  });
  const std::vector<LoggedRequest> created = Server().LogOf("createUser.php");
  ASSERT_EQ(created.size(), 1u);
  EXPECT_EQ(created[0].Field("password"), "Nové heslo");
  EXPECT_EQ(created[0].Field("userLang"), "1033");
}

TEST_F(AccountPageTest, RefusalIsShownBesideItsFieldAndThePageStays) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenAccountPage(window);
    FakePageView& page = window.Page(PageId::kCreateAccount);
    // Typed without waiting for the checks.
    page.Type(kAccountNick, UniqueNick());
    page.Type(kAccountEmail, "demo@zerva.localhost");
    page.Type(kAccountPassword, "secret");
    page.Click(kAccountCreate);
    EXPECT_FALSE(app.Session().IsSignedIn());
    EXPECT_EQ(window.Current(), kCreateAccountPage);
    EXPECT_EQ(page.GetText(kAccountEmailStatus), Text("btnEmailUsed"));
    EXPECT_EQ(page.focus, kAccountEmail);
    EXPECT_FALSE(page.Enabled(kAccountCreate));
  });
}

TEST_F(AccountPageTest, ChosenLanguageRenamesThePageAndCancelRestoresIt) {
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    OpenAccountPage(window);
    const std::string english = window.main.header.GetText(kHeaderTitle);
    FakePageView& page = window.Page(PageId::kCreateAccount);
    const std::vector<std::string>& names = page.Find(kAccountLanguage).items;
    const auto czech = std::find(names.begin(), names.end(), "čeština");
    ASSERT_NE(czech, names.end());
    page.Choose(kAccountLanguage, static_cast<int>(czech - names.begin()));
    EXPECT_EQ(app.Lang().LocationId(), 1029);
    EXPECT_EQ(window.Controller<CreateAccountDlg>(PageId::kCreateAccount).ChosenLocale(), 1029);
    EXPECT_NE(window.main.header.GetText(kHeaderTitle), english);
    EXPECT_EQ(window.main.header.GetText(kHeaderTitle), Text("createAccountDlg"));
    EXPECT_EQ(page.GetText(kAccountCreate), Text("btnCreateAccount"));

    page.Click(kAccountCancel);
    EXPECT_EQ(window.Current(), kLoginPage);
    EXPECT_EQ(app.Lang().LocationId(), 1033);
    EXPECT_EQ(window.main.header.GetText(kHeaderTitle), Text("LoginDlgTitle"));
  });
}

}  // namespace
}  // namespace zerva::test
