// Sign-in answer, settings, profile, login tickets and account creation.
#include <gtest/gtest.h>

#include "server_test_util.h"

namespace zerva::test {
namespace {

class AccountsTest : public ServerTest {
 protected:
  HttpReply Login(const std::string& login, const std::string& password) {
    Form f;
    f.Add("email", login).Add("userPass", Digest(password)).Add("version", "267").Eof();
    return server_.Api("login.php", f);
  }
  HttpReply CreateUser(const std::string& name, const std::string& email,
                       const std::string& password) {
    Form f;
    f.Add("userName", name)
        .Add("email", email)
        .Add("password", password)
        .Add("userLang", 1029)
        .Eof();
    return server_.Api("createUser.php", f);
  }
  std::string CreateCode(const std::string& name, const std::string& email,
                         const std::string& password) {
    return GetElement(Value(CreateUser(name, email, password)), "code");
  }
};

TEST_F(AccountsTest, SignInAnswerCarriesTheProfile) {
  for (const std::string login : {"alice", "alice@example.com", "ALICE"}) {
    const HttpReply r = Login(login, "secret");
    ASSERT_TRUE(IsOk(r)) << login << ": " << r.body;
    EXPECT_EQ(r.contentType.rfind("text/", 0), 0u);
    const std::string v = Value(r);
    EXPECT_EQ(GetElement(v, "name"), "alice");
    EXPECT_EQ(GetElementInt(v, "userID"), aliceId_);
    EXPECT_EQ(GetElementInt(v, "userType"), 1);
    EXPECT_EQ(GetElementInt(v, "lang"), 1033);
    EXPECT_EQ(GetElementInt(v, "timeout"), 10);
    EXPECT_GT(GetElementInt(v, "quota"), 0);
    EXPECT_EQ(GetElementInt(v, "usedSize"), 0);
    for (const char* name : {"setting", "code", "emailHistory", "watermarkWidth", "watermarkHeight",
                             "fullName", "description", "www", "partners", "userPageOrder",
                             "canPublishOnFB", "defaultWatermark"}) {
      bool found = false;
      GetElement(v, name, &found);
      EXPECT_TRUE(found) << name;
    }
  }
}

TEST_F(AccountsTest, WrongPasswordOrUnknownUserIsRefused) {
  for (const HttpReply& r : {Login("alice", "wrong"), Login("nobody", "secret")}) {
    EXPECT_EQ(GetElement(r.body, "result"), "ERROR");
    EXPECT_FALSE(Value(r).empty());
    EXPECT_EQ(ErrCode(r), "2");
  }
  // A digest in another form than 32 hex digits never matches.
  Form f;
  f.Add("email", "alice").Add("userPass", "secret").Add("version", "267").Eof();
  EXPECT_EQ(ErrCode(server_.Api("login.php", f)), "2");
}

TEST_F(AccountsTest, SettingsTextRoundTripsUnchanged) {
  const std::string setting =
      "<variablesA><variable><nameVar>sortAlb1</nameVar><valueVar>3 < 4 & x</valueVar>"
      "</variable>\n</variablesA>";
  Form set;
  set.Add("userName", "alice").Add("userPass", Digest("secret")).Add("setting", setting).Eof();
  EXPECT_TRUE(IsOk(server_.Api("set_setting.php", set)));
  Form get;
  get.Add("userName", "alice").Add("userPass", Digest("secret")).Eof();
  EXPECT_EQ(Value(server_.Api("get_setting.php", get)), setting);
  // The sign-in answer carries it too, so the user variables come back at sign-in.
  EXPECT_EQ(GetElement(Value(Login("alice", "secret")), "setting"), setting);
  Form wrong;
  wrong.Add("userName", "alice").Add("userPass", Digest("nope")).Add("setting", "x").Eof();
  EXPECT_EQ(ErrCode(server_.Api("set_setting.php", wrong)), "2");
  EXPECT_EQ(Value(server_.Api("get_setting.php", get)), setting);
}

TEST_F(AccountsTest, SetUserDetailsStoresProfileAndNewPassword) {
  Form f;
  f.Add("userID", aliceId_)
      .Add("fullName", "Alice Example")
      .Add("description", "first line<br>second")
      .Add("www", "http://alice.example.com")
      .Add("langClient", 1029)
      .Add("newPass", Digest("better"))
      .Add("changePass", "1")
      .Add("userPageOrder", "viewCountDesc")
      .Add("defaultWatermark", "1");
  const HttpReply r = Alice("SetUserDetails", f);
  ASSERT_TRUE(IsOk(r)) << r.body;
  EXPECT_EQ(GetElement(Value(r), "description"), "first line<br>second");
  EXPECT_EQ(GetElement(Login("alice", "secret").body, "result"), "ERROR");
  const std::string v = Value(Login("alice", "better"));
  EXPECT_EQ(GetElement(v, "fullName"), "Alice Example");
  EXPECT_EQ(GetElement(v, "www"), "http://alice.example.com");
  EXPECT_EQ(GetElementInt(v, "lang"), 1029);
  EXPECT_EQ(GetElement(v, "userPageOrder"), "viewCountDesc");
  EXPECT_EQ(GetElement(v, "defaultWatermark"), "1");
}

TEST_F(AccountsTest, SetUserDetailsRefusesBadNewPasswordAndForeignUser) {
  Form bad;
  bad.Add("userID", aliceId_).Add("newPass", "short").Add("changePass", "1");
  EXPECT_EQ(ErrCode(Alice("SetUserDetails", bad)), "3");
  Form foreign;
  foreign.Add("userID", aliceId_ + 7).Add("fullName", "Mallory");
  EXPECT_EQ(ErrCode(Alice("SetUserDetails", foreign)), "2");
  EXPECT_TRUE(IsOk(Login("alice", "secret")));
}

TEST_F(AccountsTest, CreateUserAnswersTheCodesOfTheAccountPage) {
  EXPECT_EQ(CreateCode("", "bob@example.com", "pw"), "1");
  EXPECT_EQ(CreateCode("bad name", "bob@example.com", "pw"), "4");
  EXPECT_EQ(CreateCode(std::string(26, 'b'), "bob@example.com", "pw"), "4");
  EXPECT_EQ(CreateCode("Alice", "bob@example.com", "pw"), "6");  // names ignore case
  EXPECT_EQ(CreateCode("www", "bob@example.com", "pw"), "6");    // a host of the service
  EXPECT_EQ(CreateCode("bob", "", "pw"), "2");
  EXPECT_EQ(CreateCode("bob", "bob-at-example", "pw"), "5");
  EXPECT_EQ(CreateCode("bob", "ALICE@example.com", "pw"), "7");
  EXPECT_EQ(CreateCode("bob", "bob@example.com", ""), "3");
  EXPECT_EQ(CreateCode("bob", "bob@example.com", "tab\there"), "9");
  EXPECT_EQ(CreateCode("bob", "bob@example.com", std::string(129, 'x')), "9");
  const HttpReply ok = CreateUser("bob", "bob@example.com", "pw");
  EXPECT_EQ(GetElement(Value(ok), "code"), "0");
  EXPECT_GT(GetElementInt(Value(ok), "userID"), aliceId_);
  // The password itself is stored as its digest: the digest signs in.
  const std::string v = Value(Login("bob", "pw"));
  EXPECT_EQ(GetElement(v, "name"), "bob");
  EXPECT_EQ(GetElementInt(v, "lang"), 1029);
}

TEST_F(AccountsTest, CheckUserNameAndMailCodes) {
  auto name = [&](const std::string& n) {
    Form f;
    f.Add("userName", n).Eof();
    return GetElement(Value(server_.Api("createUserCheckUserName.php", f)), "code");
  };
  auto mail = [&](const std::string& m) {
    Form f;
    f.Add("email", m).Eof();
    return GetElement(Value(server_.Api("createUserCheckEmail.php", f)), "code");
  };
  EXPECT_EQ(name("carol"), "0");
  EXPECT_EQ(name("carol_1"), "1");
  EXPECT_EQ(name("-carol"), "1");
  EXPECT_EQ(name(""), "1");
  EXPECT_EQ(name("alice"), "2");
  EXPECT_EQ(name("API"), "2");
  EXPECT_EQ(mail("carol@example.com"), "0");
  EXPECT_EQ(mail("carol@example"), "1");
  EXPECT_EQ(mail("a@b@example.com"), "1");
  EXPECT_EQ(mail("Alice@Example.com"), "2");
}

TEST_F(AccountsTest, LoginTicketSignsInOnceAndOnlyRedirectsToOwnPages) {
  const HttpReply t = Alice("GetLoginTicket");
  ASSERT_TRUE(IsOk(t));
  const std::string ticket = Value(t);
  EXPECT_EQ(ticket.size(), 32u);
  const std::string target = "http://" + server_.HostFor("alice") + "/Summer/";
  const std::string url = "/prihlasit?act=LoginByTicket&ticket=" + ticket +
                          "&oldURL=" + "http%3A%2F%2F" + server_.HostFor("alice") + "%2FSummer%2F";
  const HttpReply first = server_.Get(url, server_.HostFor("www"));
  EXPECT_EQ(first.status, 302);
  EXPECT_EQ(first.Header("Location"), target);
  const std::string cookie = first.Header("Set-Cookie");
  EXPECT_EQ(cookie.rfind("zerva_session=", 0), 0u) << cookie;
  // The cookie opens the account's settings page.
  const HttpReply settings =
      server_.PostRaw("/nastaveni/", "", "application/x-www-form-urlencoded",
                      server_.HostFor("www"), {{"Cookie", cookie.substr(0, cookie.find(';'))}});
  EXPECT_NE(settings.body.find("alice@example.com"), std::string::npos);
  // Used once: no second sign-in.
  const HttpReply second = server_.Get(url, server_.HostFor("www"));
  EXPECT_EQ(second.status, 302);
  EXPECT_TRUE(second.Header("Set-Cookie").empty());
  // Another site as target is not followed.
  const HttpReply away =
      server_.Get("/prihlasit?act=LoginByTicket&ticket=" + Value(Alice("GetLoginTicket")) +
                      "&oldURL=http%3A%2F%2Fevil.example.com%2F",
                  server_.HostFor("www"));
  EXPECT_EQ(away.Header("Location"), "http://" + server_.HostFor("www") + "/");
}

}  // namespace
}  // namespace zerva::test
