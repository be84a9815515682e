// Language files from zerva-server: the start-up refresh, the switch after sign-in with its
// wait note, whole-map replacement, truncated downloads, and the runtime locale.
#include "session/language_switch.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "app/scripted_dialogs.h"
#include "net/endpoints.h"
#include "platform/fs.h"
#include "platform/locale.h"
#include "support/server_fixture.h"
#include "support/service_client.h"
#include "support/shared_server_test.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

using test::ServerFixture;
using test::ServiceClient;
using test::TempDir;

std::string LanguageFile(int version, int locationId, const std::string& lines) {
  return "versionID=" + std::to_string(version) + "\nlocationID=" + std::to_string(locationId) +
         "\n" + lines + "<**EndLangFile**>\n";
}

// Pins the thread language to English and restores the environment and the C locale after.
class EnglishThread {
 public:
  EnglishThread() {
    if (const char* v = std::getenv("LC_ALL")) {
      old_ = v;
      had_ = true;
    }
    ::setenv("LC_ALL", "en_US.UTF-8", 1);
    collate_ = std::setlocale(LC_COLLATE, nullptr);
    ctype_ = std::setlocale(LC_CTYPE, nullptr);
  }
  ~EnglishThread() {
    if (had_) {
      ::setenv("LC_ALL", old_.c_str(), 1);
    } else {
      ::unsetenv("LC_ALL");
    }
    std::setlocale(LC_COLLATE, collate_.c_str());
    std::setlocale(LC_CTYPE, ctype_.c_str());
  }

 private:
  std::string old_, collate_, ctype_;
  bool had_ = false;
};

class LanguageSwitchTest : public test::ServiceClientTest {
 protected:
  static void SetUpTestSuite() { StartServer(false); }
  void SetUp() override {
    ServiceClientTest::SetUp();
    local_.Write("zerva-en-us.lng",
                 LanguageFile(5, 1033,
                              "msgInfo=Information\nmsgDownloadingLocalization=Downloading\n"
                              "onlyLocalEn=1\n"));
    local_.Write("zerva-cs.lng", LanguageFile(1, 1029, "msgInfo=Informace\nonlyLocalCs=1\n"));
    localization_ = std::make_unique<CLocalization>(local_.Path());
    ASSERT_TRUE(localization_->LoadLocal());
  }
  void TearDown() override {
    std::filesystem::remove_all(RemoteFolder());
    std::filesystem::create_directories(RemoteFolder());
    ServiceClientTest::TearDown();
  }

  // The server's data folder is "data/" inside the fixture's folder.
  static std::string RemoteFolder() { return Server().DataDir() + "data/lang/"; }
  static void PutRemote(const std::string& name, const std::string& text) {
    ASSERT_TRUE(WriteFileAtomic(RemoteFolder() + name, text));
  }
  std::string Text(const char* key) { return localization_->Text(key); }

  EnglishThread english_;
  TempDir local_;
  std::unique_ptr<CLocalization> localization_;
  ScriptedDialogs dialogs_;
};

TEST_F(LanguageSwitchTest, FetchTextGivesTheBodyOnlyOnSuccess) {
  PutRemote("zerva-cs.lng", "body");
  const FetchText fetch = MakeFetchText(*connection_);
  EXPECT_EQ(fetch(LanguageFilesBaseUrl() + "zerva-cs.lng"), std::optional<std::string>("body"));
  EXPECT_EQ(fetch(LanguageFilesBaseUrl() + "zerva-xx.lng"), std::nullopt);
  ASSERT_TRUE(Server().InjectFault("zerva-cs.lng", "500", 5));
  EXPECT_EQ(fetch(LanguageFilesBaseUrl() + "zerva-cs.lng"), std::nullopt);
}

TEST_F(LanguageSwitchTest, StartUpRefreshReplacesTheTextsWholeOrKeepsThemWhenTruncated) {
  PutRemote("zerva-en-us.lng",
            LanguageFile(7, 1033, "msgInfo=Information (service)\nonlyRemoteEn=1\n"));
  ASSERT_TRUE(Server().InjectFault("zerva-en-us.lng", "truncate"));
  LoadRemoteLanguage(*localization_, *connection_);
  EXPECT_EQ(Text("onlyLocalEn"), "1");
  EXPECT_EQ(Text("onlyRemoteEn"), "?onlyRemoteEn?");
  ASSERT_EQ(Server().LogOf("zerva-en-us.lng").size(), 1u);

  LoadRemoteLanguage(*localization_, *connection_);
  EXPECT_EQ(Text("onlyRemoteEn"), "1");
  EXPECT_EQ(Text("msgInfo"), "Information (service)");
  EXPECT_EQ(Text("onlyLocalEn"), "?onlyLocalEn?");  // replaced, not merged
}

TEST_F(LanguageSwitchTest, SwitchAfterSignInShowsTheWaitNoteAndReloadsThePage) {
  PutRemote("zerva-cs.lng", LanguageFile(3, 1029, "msgInfo=Informace (server)\nonlyRemoteCs=1\n"));
  int reloads = 0;
  EXPECT_TRUE(SwitchLanguageAfterSignIn(*localization_, *connection_, dialogs_, 1029,
                                        [&reloads]() { ++reloads; }));
  EXPECT_EQ(reloads, 1);
  ASSERT_EQ(dialogs_.Waits().size(), 1u);
  // The note is in the language being left.
  EXPECT_EQ(dialogs_.Waits()[0].text, "Downloading");
  EXPECT_EQ(dialogs_.Waits()[0].caption, "Information");
  EXPECT_FALSE(dialogs_.WaitVisible());
  EXPECT_EQ(localization_->LocationId(), 1029);
  // The service's newer file, whole: nothing of the English or the local Czech texts.
  EXPECT_EQ(Text("onlyRemoteCs"), "1");
  EXPECT_EQ(Text("onlyLocalCs"), "?onlyLocalCs?");
  EXPECT_EQ(Text("onlyLocalEn"), "?onlyLocalEn?");
  EXPECT_EQ(Server().LogOf("zerva-cs.lng").size(), 1u);

  // Already in the user's language: no note, no download, no reload.
  Server().ClearLog();
  EXPECT_FALSE(SwitchLanguageAfterSignIn(*localization_, *connection_, dialogs_, 1029,
                                         [&reloads]() { ++reloads; }));
  EXPECT_EQ(reloads, 1);
  EXPECT_EQ(dialogs_.Waits().size(), 1u);
  EXPECT_TRUE(Server().Log().empty());
}

TEST_F(LanguageSwitchTest, TruncatedDownloadLeavesTheCompleteLocalFile) {
  PutRemote("zerva-cs.lng", LanguageFile(3, 1029, "onlyRemoteCs=1\n"));
  ASSERT_TRUE(Server().InjectFault("zerva-cs.lng", "truncate"));
  EXPECT_TRUE(SwitchLanguageAfterSignIn(*localization_, *connection_, dialogs_, 1029, {}));
  EXPECT_EQ(Text("onlyLocalCs"), "1");
  EXPECT_EQ(Text("onlyRemoteCs"), "?onlyRemoteCs?");
}

TEST_F(LanguageSwitchTest, NothingLoadableKeepsTheOldTextsAndSkipsTheReload) {
  // The user's language exists nowhere, and every download is cut.
  ASSERT_TRUE(Server().InjectFault("*", "truncate", 10));
  std::filesystem::remove(local_.File("zerva-en-us.lng"));
  int reloads = 0;
  EXPECT_FALSE(SwitchLanguageAfterSignIn(*localization_, *connection_, dialogs_, 1045,
                                         [&reloads]() { ++reloads; }));
  EXPECT_EQ(reloads, 0);
  EXPECT_FALSE(dialogs_.WaitVisible());
  EXPECT_EQ(Text("onlyLocalEn"), "1");
  EXPECT_EQ(localization_->LocationId(), 1033);
}

TEST_F(LanguageSwitchTest, NoLanguageOfTheAccountMeansTheThreadLanguage) {
  EXPECT_FALSE(SwitchLanguageAfterSignIn(*localization_, *connection_, dialogs_, 0, {}));
  EXPECT_TRUE(dialogs_.Waits().empty());
  EXPECT_TRUE(Server().Log().empty());
}

TEST(LanguageLocale, TheLanguageLocaleOrAQuietFallback) {
  EnglishThread restore;
  const std::string applied = ApplyLanguageLocale(1029);
  EXPECT_TRUE(applied == LocaleNameOf(1029) || applied == "C.UTF-8") << applied;
  EXPECT_EQ(std::setlocale(LC_COLLATE, nullptr), applied);
  EXPECT_EQ(std::setlocale(LC_CTYPE, nullptr), applied);
  // No locale name for the identifier: nothing changes.
  std::setlocale(LC_COLLATE, "C");
  EXPECT_EQ(ApplyLanguageLocale(0), "");
  EXPECT_EQ(ApplyLanguageLocale(4242), "");
  EXPECT_STREQ(std::setlocale(LC_COLLATE, nullptr), "C");
}

}  // namespace
}  // namespace zerva
