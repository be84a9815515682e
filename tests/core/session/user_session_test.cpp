// The session against a running zerva-server: sign-in and its refusals, the account lock
// across processes, logout, saving the profile and the settings, the banner, the album list,
// the login ticket and the stored category form values.
#include "session/user_session.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/app_folders.h"
#include "app/credentials.h"
#include "app/elements.h"
#include "app/profile.h"
#include "app/text_placeholders.h"
#include "app/text_utils.h"
#include "category/value_set.h"
#include "lang/text.h"
#include "net/endpoints.h"
#include "net/http_curl.h"
#include "platform/fs.h"
#include "platform/locale.h"
#include "platform/login_lock.h"
#include "platform/shell_open.h"
#include "session/login_refusal.h"
#include "support/lock_holder.h"
#include "support/server_fixture.h"
#include "support/service_client.h"
#include "support/shared_server_test.h"

namespace zerva {
namespace {

using test::Form;
using test::LoggedRequest;
using test::ServerFixture;
using test::ServiceClient;

// The service's sign-in answer with a change made to it, for the elements the stand-in always
// fills in.
class EditedLoginConnection : public CHttpCurl {
 public:
  EditedLoginConnection(CHttpMngr* manager, std::function<std::string(std::string)> edit)
      : CHttpCurl(manager), edit_(std::move(edit)) {
    Open();
  }
  ApiResult GetLogin(const std::string& loginName, const std::string& userPass) override {
    ApiResult result = CHttpCurl::GetLogin(loginName, userPass);
    if (result.Ok()) result.value = edit_(result.value);
    return result;
  }

 private:
  std::function<std::string(std::string)> edit_;
};

class UserSessionTest : public test::ServiceClientTest {
 protected:
  static void SetUpTestSuite() {
    StartServer(true);
    // The shipped texts, so that messages are formatted as the user sees them.
    ASSERT_TRUE(Localization().LoadLocal());
  }
  void SetUp() override {
    ServiceClientTest::SetUp();
    session_ = std::make_unique<CUserSession>();
    session_->SetConnection(connection_.get());
  }
  void TearDown() override {
    session_.reset();
    ServiceClientTest::TearDown();
  }

  // A fresh account of its own per test: tests may run in parallel processes, and the lock is
  // system-wide.
  std::string NewUser() {
    std::string name;
    EXPECT_GT(Server().CreateTestUser("u", &name), 0);
    return name;
  }
  static std::string Secret() { return PasswordDigest("secret"); }

  bool SignIn(CUserSession& session, const std::string& login,
              const std::string& digest = Secret()) {
    if (session.LockLogin(login)) return false;
    return session.Login(login, digest);
  }

  std::vector<std::string> Commands() {
    std::vector<std::string> names;
    for (const LoggedRequest& r : Server().Log()) {
      names.push_back(r.Command().empty() ? r.Script() : r.Command());
    }
    return names;
  }

  std::unique_ptr<CUserSession> session_;
};

TEST_F(UserSessionTest, SignInFillsTheSessionAndLoadsWhatGoesWithIt) {
  const std::string user = NewUser();
  const std::string login = user + "@example.com";  // signing in by e-mail
  ASSERT_TRUE(Server().ClearLog());
  ASSERT_FALSE(session_->LockLogin(login));
  ASSERT_TRUE(session_->Login(login, Secret())) << session_->LastError();
  EXPECT_TRUE(session_->IsSignedIn());
  EXPECT_TRUE(session_->HoldsLoginLock());
  EXPECT_EQ(session_->Name(), user);
  EXPECT_EQ(session_->LoginName(), login);
  EXPECT_EQ(session_->PasswordDigest(), Secret());
  EXPECT_GT(session_->UserId(), 0);
  EXPECT_EQ(session_->LastError(), "");
  EXPECT_EQ(session_->Details().lang, 1033);
  EXPECT_EQ(session_->Details().timeout, 10);
  EXPECT_GT(session_->Details().quota, 0);
  EXPECT_FALSE(session_->IsVip());
  EXPECT_EQ(session_->PageOrder().Key(), kPageOrderNone);
  // The account's user name is remembered for the login name that was typed.
  EXPECT_EQ(AppProfile().GetProfileString(login, profile_keys::kLogin), user);

  // Partners from the answer, their logos in the user's temporary sub-folder.
  EXPECT_EQ(session_->UserFolder(), TempFolder() + user + "/");
  ASSERT_EQ(session_->Partners().size(), 2u);
  for (const Partner& partner : session_->Partners()) {
    EXPECT_TRUE(FileExists(partner.logo)) << partner.logo;
    EXPECT_EQ(partner.logo.rfind(session_->UserFolder(), 0), 0u) << partner.logo;
  }
  EXPECT_EQ(session_->Banner().caption, "Welcome to zerva");
  EXPECT_EQ(session_->Banner().interval, 30);
  EXPECT_FALSE(session_->Categories().Empty());

  const std::vector<std::string> commands = Commands();
  ASSERT_FALSE(commands.empty());
  EXPECT_EQ(commands.front(), "login.php");
  EXPECT_EQ(commands.back(), "GetCategory");
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "GetPartners"), 0);
  EXPECT_EQ(std::count(commands.begin(), commands.end(), "get_info.php"), 1);
  const LoggedRequest category = Server().LogOf("GetCategory").back();
  EXPECT_EQ(category.Field("userLang"), std::to_string(ThreadLocaleId()));
}

TEST_F(UserSessionTest, RefusedSignInLeavesTheSessionSignedOutWithTheServiceMessage) {
  const std::string user = NewUser();
  ASSERT_FALSE(session_->LockLogin(user));
  EXPECT_FALSE(session_->Login(user, PasswordDigest("wrong")));
  EXPECT_FALSE(session_->IsSignedIn());
  EXPECT_EQ(session_->LastError(), "Wrong e-mail or password");
  EXPECT_EQ(session_->PasswordDigest(), "");
  EXPECT_EQ(session_->LoginName(), "");
  EXPECT_EQ(session_->UserId(), 0);
  // The failed sign-in gave the lock up.
  EXPECT_FALSE(session_->HoldsLoginLock());
  LoginLock other;
  EXPECT_EQ(other.Acquire(user), LockResult::kAcquired);
  EXPECT_EQ(AppProfile().GetProfileString(user, profile_keys::kLogin), "");
}

TEST_F(UserSessionTest, UnloadableCategoriesFailTheSignInOfAFilledSession) {
  const std::string user = NewUser();
  ASSERT_TRUE(Server().InjectFault("GetCategory", "error", 10, "9:No categories"));
  ASSERT_FALSE(session_->LockLogin(user));
  EXPECT_FALSE(session_->Login(user, Secret()));
  EXPECT_TRUE(session_->IsSignedIn());
  EXPECT_EQ(session_->Name(), user);
  EXPECT_TRUE(session_->Categories().Empty());
  // The page has something to show.
  EXPECT_EQ(session_->LastError(), Text("msgCategoryLoadError"));
  // Giving up the sign-in frees the account for the next try.
  session_->MarkSignedOut();
  EXPECT_FALSE(session_->IsSignedIn());
  EXPECT_FALSE(session_->HoldsLoginLock());
  Server().ClearFaults();
  EXPECT_TRUE(SignIn(*session_, user)) << session_->LastError();
}

TEST_F(UserSessionTest, AnotherProcessSignedInAsTheUserRefusesBeforeAnyTraffic) {
  const std::string user = NewUser();
  test::LockHolderProcess other(user);
  ASSERT_TRUE(other.Holds());
  ASSERT_TRUE(Server().ClearLog());

  EXPECT_TRUE(session_->LockLogin(user));
  EXPECT_FALSE(session_->HoldsLoginLock());
  EXPECT_TRUE(Server().Log().empty());
  // Nothing remembered for the login name yet: the message names the login name.
  EXPECT_EQ(NoMultipleLoginMessage(user), FillTextPlaceholders(Text("msgNoMultipleLogin"), {user}));
  EXPECT_NE(NoMultipleLoginMessage(user).find(user), std::string::npos);

  other.Kill();  // the other copy dies without signing out
  EXPECT_TRUE(SignIn(*session_, user)) << session_->LastError();
}

TEST_F(UserSessionTest, TrimmedLoginNamesShareOneLock) {
  const std::string login = "trim" + std::to_string(::getpid()) + "@example.com";
  CUserSession first;
  CUserSession second;
  ASSERT_FALSE(first.LockLogin(TrimLoginName(login)));
  EXPECT_TRUE(second.LockLogin(TrimLoginName(" " + login + ".")));
  EXPECT_TRUE(second.LockLogin(TrimLoginName("\t'" + login + "';")));
  EXPECT_FALSE(second.LockLogin(TrimLoginName("x" + login)));
  // The session's own lock does not refuse the session itself.
  EXPECT_FALSE(first.LockLogin(TrimLoginName(login)));
  first.ReleaseLoginLock();
  EXPECT_FALSE(second.LockLogin(TrimLoginName(login + ":")));
}

TEST_F(UserSessionTest, LogoutRemovesTheTemporaryFolderWithUnfinishedWorkAndForgetsTheAccount) {
  const std::string user = NewUser();
  ASSERT_TRUE(SignIn(*session_, user)) << session_->LastError();
  const std::string folder = session_->UserFolder();
  ASSERT_TRUE(DirectoryExists(folder));
  ASSERT_TRUE(CreateDirectoryPath(folder + "images"));
  ASSERT_TRUE(WriteFileAtomic(folder + "images/half-done.jpg", std::string(1000, 'x')));
  ASSERT_TRUE(WriteFileAtomic(folder + "vatten.jpg", "x"));
  AppProfile().WriteProfileString(user, profile_keys::kPass, "something");
  session_->SetWatermarkTemplate(std::make_shared<const std::string>("png"));
  session_->SetUploadDelayMs(1500);

  session_->Logout();
  EXPECT_FALSE(DirectoryExists(folder));
  EXPECT_TRUE(DirectoryExists(TempFolder()));
  EXPECT_EQ(AppProfile().GetProfileString(user, profile_keys::kLogin), "");
  EXPECT_EQ(AppProfile().GetProfileString(user, profile_keys::kPass), "");
  EXPECT_FALSE(session_->IsSignedIn());
  EXPECT_FALSE(session_->HoldsLoginLock());
  EXPECT_EQ(session_->UserId(), 0);
  EXPECT_EQ(session_->Details().fullName, "");
  EXPECT_EQ(session_->Details().lang, ThreadLocaleId());
  EXPECT_TRUE(session_->Variables().empty());
  EXPECT_EQ(session_->WatermarkTemplate(), nullptr);
  // The upload delay belongs to the program run, not to the account.
  EXPECT_EQ(session_->UploadDelayMs(), 1500);
  LoginLock other;
  EXPECT_EQ(other.Acquire(user), LockResult::kAcquired);
}

TEST_F(UserSessionTest, VipIsASignedInUserOfType111) {
  EXPECT_EQ(session_->UploadDelayMs(), kDefaultUploadDelayMs);
  ASSERT_TRUE(SignIn(*session_, "vip", PasswordDigest("vip"))) << session_->LastError();
  EXPECT_EQ(session_->Details().userType, kVipUserType);
  EXPECT_TRUE(session_->IsVip());
  session_->Logout();
  EXPECT_FALSE(session_->IsVip());

  const std::string user = NewUser();
  ASSERT_TRUE(SignIn(*session_, user)) << session_->LastError();
  EXPECT_FALSE(session_->IsVip());
  EXPECT_EQ(session_->UploadDelayMs(), kDefaultUploadDelayMs);
}

TEST_F(UserSessionTest, AnswerWithoutLangUsesTheThreadLocaleAndFlagsFollowTheRules) {
  const std::string user = NewUser();
  auto edited = std::make_unique<EditedLoginConnection>(&client_->Manager(), [](std::string v) {
    v = RemoveElement(v, "lang");
    return ReplaceAll(v, "<defaultWatermark>0</defaultWatermark>",
                      "<defaultWatermark></defaultWatermark>");
  });
  session_->SetConnection(edited.get());
  session_->MutableDetails().defaultWatermark = true;
  ASSERT_TRUE(SignIn(*session_, user)) << session_->LastError();
  EXPECT_EQ(session_->Details().lang, 0);
  EXPECT_EQ(session_->EffectiveLanguage(), ThreadLocaleId());
  EXPECT_TRUE(session_->Details().defaultWatermark);  // empty element: kept
  session_->Logout();

  // "0" clears it.
  session_->SetConnection(connection_.get());
  session_->MutableDetails().defaultWatermark = true;
  ASSERT_TRUE(SignIn(*session_, user)) << session_->LastError();
  EXPECT_FALSE(session_->Details().defaultWatermark);
  EXPECT_EQ(session_->Details().lang, 1033);
}

TEST_F(UserSessionTest, AnswerWithoutPartnersAsksForThem) {
  const std::string user = NewUser();
  EditedLoginConnection edited(&client_->Manager(),
                               [](std::string v) { return RemoveElement(v, "partners"); });
  session_->SetConnection(&edited);
  ASSERT_TRUE(SignIn(*session_, user)) << session_->LastError();
  EXPECT_EQ(Server().LogOf("GetPartners").size(), 1u);
  EXPECT_EQ(session_->Partners().size(), 2u);
}

TEST_F(UserSessionTest, SaveSettingsReplacesTheVariablesElementAndKeepsTheRest) {
  const std::string user = NewUser();
  const std::string stored =
      "<pre>1</pre><variablesA><variable><nameVar>zzz</nameVar><valueVar>keep<me</valueVar>"
      "</variable>\n<variable><nameVar>useExifDesc</nameVar><valueVar>1</valueVar></variable>\n"
      "</variablesA><post>2</post>";
  ASSERT_TRUE(connection_->SetSetting(user, Secret(), stored).Ok());
  ASSERT_TRUE(SignIn(*session_, user)) << session_->LastError();
  EXPECT_TRUE(session_->Settings().useExifDesc);
  EXPECT_EQ(session_->Variables().at("zzz").value, "keep<me");

  session_->AlbumSort().Set(3, 0);
  session_->MutableSettings().useExifName = true;
  session_->MutableSettings().gpsMapsProvider = 2;
  ASSERT_TRUE(session_->SaveSettings()) << session_->LastError();
  const std::string setting = connection_->GetSetting(user, Secret()).value;
  EXPECT_EQ(setting, session_->Setting());
  EXPECT_EQ(setting.rfind("<pre>1</pre><post>2</post><variablesA>", 0), 0u) << setting;
  EXPECT_EQ(setting.find("<variablesA>"), setting.rfind("<variablesA>"));
  for (const char* expected : {"<nameVar>zzz</nameVar><valueVar>keep<me</valueVar>",
                               "<nameVar>sortAlb1</nameVar><valueVar>3</valueVar>",
                               "<nameVar>sortAlb2</nameVar><valueVar>0</valueVar>",
                               "<nameVar>useExifName</nameVar><valueVar>1</valueVar>",
                               "<nameVar>gpsMapsProvider</nameVar><valueVar>2</valueVar>"}) {
    EXPECT_NE(setting.find(expected), std::string::npos) << expected;
  }

  // The next sign-in reads them back into the typed fields and the album sort.
  session_->Logout();
  ASSERT_TRUE(SignIn(*session_, user)) << session_->LastError();
  EXPECT_EQ(session_->AlbumSort().Key(), 3);
  EXPECT_EQ(session_->AlbumSort().Direction(), 0);
  EXPECT_TRUE(session_->Settings().useExifName);
  EXPECT_EQ(session_->Settings().gpsMapsProvider, 2);

  // A refusal keeps the local values and tells why.
  ASSERT_TRUE(Server().InjectFault("set_setting.php", "error", 1, "5:Settings are read-only"));
  session_->MutableSettings().useExifName = false;
  EXPECT_FALSE(session_->SaveSettings());
  EXPECT_NE(session_->LastError().find("Settings are read-only"), std::string::npos);
  EXPECT_FALSE(session_->Settings().useExifName);
}

TEST_F(UserSessionTest, SaveProfileWithANewPasswordSwitchesToTheNewDigest) {
  const std::string user = NewUser();
  ASSERT_TRUE(SignIn(*session_, user)) << session_->LastError();
  AppProfile().WriteProfileString(profile_keys::kSetup, profile_keys::kPass, Secret());
  UserDetails& details = session_->MutableDetails();
  details.fullName = "Alice Example";
  details.description = "first line\nsecond line";
  details.www = "http://alice.example/";
  details.defaultWatermark = true;
  details.newPasswordDigest = PasswordDigest("better");
  details.changePassword = true;
  session_->PageOrder().Set(102, 0);

  ASSERT_TRUE(session_->SaveProfile()) << session_->LastError();
  const LoggedRequest sent = Server().LogOf("SetUserDetails").back();
  EXPECT_EQ(sent.Field("userPass"), Secret());
  EXPECT_EQ(sent.Field("newPass"), PasswordDigest("better"));
  EXPECT_EQ(sent.Field("changePass"), "1");
  EXPECT_EQ(sent.Field("userPageOrder"), "viewCountDesc");
  EXPECT_EQ(sent.Field("defaultWatermark"), "1");
  EXPECT_EQ(sent.Field("langClient"), "1033");
  EXPECT_EQ(session_->PasswordDigest(), PasswordDigest("better"));
  EXPECT_EQ(session_->Details().newPasswordDigest, "");
  EXPECT_FALSE(session_->Details().changePassword);
  EXPECT_EQ(AppProfile().GetProfileString(profile_keys::kSetup, profile_keys::kPass),
            PasswordDigest("better"));
  // Later calls go out with the new digest and work.
  std::string list;
  EXPECT_TRUE(session_->GetAlbumList(0, &list)) << session_->LastError();

  CUserSession fresh;
  fresh.SetConnection(connection_.get());
  session_->Logout();
  EXPECT_FALSE(SignIn(fresh, user, Secret()));
  ASSERT_TRUE(SignIn(fresh, user, PasswordDigest("better"))) << fresh.LastError();
  EXPECT_EQ(fresh.Details().fullName, "Alice Example");
  EXPECT_EQ(fresh.Details().description, "first line\nsecond line");
  EXPECT_EQ(fresh.Details().www, "http://alice.example/");
  EXPECT_TRUE(fresh.Details().defaultWatermark);
  EXPECT_EQ(fresh.PageOrderText(), "viewCountDesc");
}

TEST_F(UserSessionTest, SaveProfileWithoutRememberedPasswordLeavesItEmpty) {
  const std::string user = NewUser();
  ASSERT_TRUE(SignIn(*session_, user)) << session_->LastError();
  AppProfile().WriteProfileString(profile_keys::kSetup, profile_keys::kPass, "");
  session_->MutableDetails().newPasswordDigest = PasswordDigest("another");
  session_->MutableDetails().changePassword = true;
  ASSERT_TRUE(session_->SaveProfile()) << session_->LastError();
  EXPECT_EQ(AppProfile().GetProfileString(profile_keys::kSetup, profile_keys::kPass), "");
  EXPECT_EQ(session_->PasswordDigest(), PasswordDigest("another"));
}

TEST_F(UserSessionTest, RefusedProfileSaveIsAFailureAndKeepsEverythingPending) {
  const std::string user = NewUser();
  ASSERT_TRUE(SignIn(*session_, user)) << session_->LastError();
  session_->MutableDetails().fullName = "Changed";
  session_->MutableDetails().newPasswordDigest = PasswordDigest("better");
  session_->MutableDetails().changePassword = true;
  // The operation returns the body as it came; the refusal inside must still count.
  ASSERT_TRUE(Server().InjectFault("SetUserDetails", "error", 1, "5:Profile locked"));
  EXPECT_FALSE(session_->SaveProfile());
  EXPECT_NE(session_->LastError().find("Profile locked"), std::string::npos);
  EXPECT_EQ(session_->PasswordDigest(), Secret());
  EXPECT_TRUE(session_->Details().changePassword);
  EXPECT_EQ(session_->Details().fullName, "Changed");
  // The service was not changed either: the old password still works.
  CUserSession fresh;
  fresh.SetConnection(connection_.get());
  session_->Logout();
  EXPECT_TRUE(SignIn(fresh, user)) << fresh.LastError();
}

TEST_F(UserSessionTest, BannerAlbumListAndTheirFailures) {
  const std::string user = NewUser();
  session_->LoadInfo();  // signed out: nothing asked
  EXPECT_TRUE(Server().LogOf("get_info.php").empty());
  ASSERT_TRUE(SignIn(*session_, user)) << session_->LastError();
  EXPECT_EQ(session_->Banner().url, "https://example.com/news");

  ASSERT_TRUE(Server().InjectFault("get_info.php", "error", 1, "9:No news"));
  session_->LoadInfo();
  EXPECT_EQ(session_->Banner().url, "");
  EXPECT_EQ(session_->Banner().caption, "");
  EXPECT_EQ(session_->Banner().interval, 0);

  std::string list = "stale";
  EXPECT_TRUE(session_->GetAlbumList(0, &list)) << session_->LastError();
  const LoggedRequest albums = Server().LogOf("GetAlbums").back();
  EXPECT_EQ(albums.Field("userID"), std::to_string(session_->UserId()));
  EXPECT_EQ(albums.Field("albumID"), "0");
  ASSERT_TRUE(Server().InjectFault("GetAlbums", "error", 1, "9:Album list broken"));
  EXPECT_FALSE(session_->GetAlbumList(0, &list));
  EXPECT_EQ(list, "");
  EXPECT_NE(session_->LastError().find("Album list broken"), std::string::npos);
}

TEST_F(UserSessionTest, OpenWithTicketSignsTheBrowserInOrFallsBackToThePlainPage) {
  std::vector<std::string> opened;
  const ShellOpener previous = SetShellOpener([&opened](const std::string& target) {
    opened.push_back(target);
    return true;
  });
  const std::string target = "http://www.zerva.localhost/nastaveni/?a=1&b=2";
  // Signed out: no ticket to ask for.
  EXPECT_TRUE(session_->OpenWithTicket(target));
  EXPECT_TRUE(Server().LogOf("GetLoginTicket").empty());

  const std::string user = NewUser();
  ASSERT_TRUE(SignIn(*session_, user)) << session_->LastError();
  EXPECT_TRUE(session_->OpenWithTicket(target));
  ASSERT_TRUE(Server().InjectFault("GetLoginTicket", "error", 1, "9:No tickets"));
  EXPECT_TRUE(session_->OpenWithTicket(target));
  SetShellOpener(previous);

  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0], target);
  const std::string prefix = ServiceUrl() + "prihlasit?act=LoginByTicket&ticket=";
  EXPECT_EQ(opened[1].rfind(prefix, 0), 0u) << opened[1];
  const std::string suffix = "&oldURL=" + UrlEscape(target);
  ASSERT_GT(opened[1].size(), prefix.size() + suffix.size());
  EXPECT_EQ(opened[1].substr(opened[1].size() - suffix.size()), suffix);
  EXPECT_EQ(opened[2], target);

  // The address alone, for a front end that prints it: empty when there is no ticket.
  EXPECT_EQ(session_->SignedInUrl(target).rfind(prefix, 0), 0u);
  ASSERT_TRUE(Server().InjectFault("GetLoginTicket", "error", 1, "9:No tickets"));
  EXPECT_EQ(session_->SignedInUrl(target), "");
}

TEST_F(UserSessionTest, ConfirmedFormValuesPrefillFormsAndFollowTheSettings) {
  const std::string user = NewUser();
  ASSERT_TRUE(SignIn(*session_, user)) << session_->LastError();
  EXPECT_EQ(session_->StartValues(105), "");

  const std::string flood = WriteValueSet({{"zipcode", "60200"}, {"author", "Alice"}});
  session_->StoreConfirmedValues(105, flood);
  EXPECT_EQ(session_->StartValues(105), flood);
  // Another form starts from everything confirmed so far.
  EXPECT_EQ(ParseValueSet(session_->StartValues(4)),
            (ValueSet{{"author", "Alice"}, {"zipcode", "60200"}}));
  session_->StoreConfirmedValues(4, WriteValueSet({{"author", "Bob"}}));
  EXPECT_EQ(ParseValueSet(session_->Settings().categoryNewsData),
            (ValueSet{{"author", "Bob"}, {"zipcode", "60200"}}));
  EXPECT_EQ(session_->StartValues(105), flood);  // a category's own values stay its own
  session_->MergeRememberedValues(WriteValueSet({{"phone", "123"}}));
  EXPECT_EQ(ParseValueSet(session_->StartValues(7)).size(), 3u);

  // The remembered values travel with the settings; the per-category ones end with the
  // sign-in.
  ASSERT_TRUE(session_->SaveSettings()) << session_->LastError();
  session_->Logout();
  ASSERT_TRUE(SignIn(*session_, user)) << session_->LastError();
  EXPECT_EQ(ParseValueSet(session_->StartValues(105)),
            (ValueSet{{"author", "Bob"}, {"phone", "123"}, {"zipcode", "60200"}}));
}

}  // namespace
}  // namespace zerva
