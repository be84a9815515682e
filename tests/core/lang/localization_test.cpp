#include "lang/localization.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "app/trace.h"
#include "lang/language_file.h"
#include "lang/languages.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// A complete language file with the given version, language and one greeting.
std::string LangFile(int version, int locationId, const std::string& hello) {
  return "versionID=" + std::to_string(version) + "\nlocationID=" + std::to_string(locationId) +
         "\nhello=" + hello + "\n<**EndLangFile**>\n";
}

// Sets LC_ALL for the life of the object; the thread locale is read from it.
class ScopedLocale {
 public:
  explicit ScopedLocale(const char* value) {
    if (const char* old = std::getenv("LC_ALL")) old_ = old;
    ::setenv("LC_ALL", value, 1);
  }
  ~ScopedLocale() {
    if (old_) {
      ::setenv("LC_ALL", old_->c_str(), 1);
    } else {
      ::unsetenv("LC_ALL");
    }
  }

 private:
  std::optional<std::string> old_;
};

// The service's language folder: URL -> file text; records every URL asked for.
struct FakeService {
  std::map<std::string, std::string> files;
  std::vector<std::string> asked;
  FetchText Fetch() {
    return [this](const std::string& url) -> std::optional<std::string> {
      asked.push_back(url);
      const auto it = files.find(url);
      if (it == files.end()) return std::nullopt;
      return it->second;
    };
  }
};

constexpr const char* kBase = "http://api.test/lang/";

TEST(ParseLanguageText, ReadsKeyValueLinesWithCommentsAndBothLineEnds) {
  TextMap map;
  const int version = ParseLanguageText(
      "// header comment\r\n"
      "versionID=3\r\n"
      "\r\n"
      "msgInfo=Info text // a comment\r\n"
      "plain=  padded value  \n"
      "=no key\n"
      "no equals sign\n"
      "formula=a=b\n"
      "   // only a comment\n"
      "twice=first\n"
      "twice=second\n"
      "empty=\n"
      "<**EndLangFile**>",
      map);
  EXPECT_EQ(version, 3);
  EXPECT_EQ(map["msgInfo"], "Info text ");
  EXPECT_EQ(map["plain"], "  padded value  ");
  EXPECT_EQ(map["formula"], "a=b");
  EXPECT_EQ(map["twice"], "second");
  EXPECT_EQ(map.count("empty"), 1u);
  EXPECT_EQ(map.count(""), 0u);
  // "   " survives the comment cut but has no "=", so it is not a key either.
  EXPECT_EQ(map.size(), 6u);
}

TEST(ParseLanguageText, RejectsFilesWithoutMarkerOrVersion) {
  TextMap map{{"kept", "yes"}};
  // A truncated download: no marker, nothing taken.
  EXPECT_EQ(ParseLanguageText("versionID=2\nhello=hi\n", map), 0);
  // The marker on the first line does not count.
  EXPECT_EQ(ParseLanguageText("<**EndLangFile**>\nversionID=2\nhello=hi\n", map), 0);
  EXPECT_EQ(map.size(), 1u);
  EXPECT_EQ(ParseLanguageText("", map), 0);

  // Versions below 1 and non-numbers count as not loaded.
  for (const char* version : {"0", "-4", "abc", ""}) {
    TextMap m;
    EXPECT_EQ(ParseLanguageText(std::string("versionID=") + version + "\n<**EndLangFile**>", m), 0)
        << version;
  }
  TextMap m;
  EXPECT_EQ(ParseLanguageText("hello=hi\n<**EndLangFile**>", m), 0);

  // A marker after the first character counts even mid-line; a leading blank is enough.
  TextMap n;
  EXPECT_EQ(ParseLanguageText(" <**EndLangFile**>\nversionID= 7x\n", n), 7);
}

TEST(ParseLanguageText, IsBoundedAndSurvivesHostileInput) {
  TextMap map;
  // Digits beyond the int range clamp instead of overflowing.
  EXPECT_EQ(ParseLanguageText("versionID=99999999999999999999\n<**EndLangFile**>", map),
            std::numeric_limits<int>::max());

  std::string binary = "versionID=1\nk=\x01\x02";
  binary += std::string(1, '\0') + "\xff\r\r\n\r\n=\n==\n//\n<**EndLangFile**>";
  TextMap b;
  EXPECT_EQ(ParseLanguageText(binary, b), 1);
  EXPECT_EQ(b["k"], std::string("\x01\x02\0\xff\r", 5));

  std::string huge(static_cast<size_t>(kMaxLanguageFileBytes), 'x');
  huge += "\nversionID=1\n<**EndLangFile**>";
  TextMap h;
  EXPECT_EQ(ParseLanguageText(huge, h), 0);
  EXPECT_TRUE(h.empty());
}

TEST(Languages, UnknownLocaleNamesTheEnglishFile) {
  EXPECT_EQ(LanguageFileName(1031), "zerva-de-de.lng");
  EXPECT_EQ(LanguageFileName(1036), "zerva-en-us.lng");  // French is not shipped
  EXPECT_EQ(LanguageFileName(0), "zerva-en-us.lng");

  CLocalization localization;
  EXPECT_EQ(localization.LanguageName(1029), "čeština");
  EXPECT_EQ(localization.LanguageCode(1036), "");
}

class LocalizationTest : public ::testing::Test {
 protected:
  test::IsolatedHome home_;  // the failure trace goes to a throw-away log
  test::TempDir dir_;
};

TEST_F(LocalizationTest, NothingLoadedShowsKeysBetweenQuestionMarks) {
  CLocalization localization(dir_.Path());
  EXPECT_FALSE(localization.IsLoaded());
  EXPECT_EQ(localization.Text("msgInfo"), "?msgInfo?");
  EXPECT_EQ(localization.LocationId(), 0);
  EXPECT_TRUE(localization.MonthNames().empty());
}

TEST_F(LocalizationTest, LoadLocalPrefersThreadLocaleThenEnglish) {
  dir_.Write("zerva-cs.lng", LangFile(2, 1029, "ahoj"));
  dir_.Write("zerva-en-us.lng", LangFile(5, 1033, "hello"));
  {
    ScopedLocale locale("cs_CZ.UTF-8");
    CLocalization localization(dir_.Path());
    ASSERT_TRUE(localization.LoadLocal());
    EXPECT_EQ(localization.Text("hello"), "ahoj");
    EXPECT_EQ(localization.LocalVersion(), 2);
    EXPECT_EQ(localization.LocationId(), 1029);
    EXPECT_TRUE(localization.IsLoaded());
  }
  {
    ScopedLocale locale("fr_FR.UTF-8");  // not shipped: English
    CLocalization localization(dir_.Path());
    ASSERT_TRUE(localization.LoadLocal());
    EXPECT_EQ(localization.Text("hello"), "hello");
  }
  // A truncated Czech file falls back to English.
  dir_.Write("zerva-cs.lng", "versionID=9\nhello=ahoj\n");
  {
    ScopedLocale locale("cs_CZ.UTF-8");
    CLocalization localization(dir_.Path());
    ASSERT_TRUE(localization.LoadLocal());
    EXPECT_EQ(localization.Text("hello"), "hello");
    EXPECT_EQ(localization.LocalVersion(), 5);
  }
}

TEST_F(LocalizationTest, LoadLocalFailsWithTraceWhenNeitherFileLoads) {
  dir_.Write("zerva-en-us.lng", LangFile(0, 1033, "hello"));  // version 0: not loaded
  ScopedLocale locale("sk_SK.UTF-8");
  CLocalization localization(dir_.Path());
  EXPECT_FALSE(localization.LoadLocal());
  EXPECT_FALSE(localization.IsLoaded());
  EXPECT_EQ(localization.Text("hello"), "?hello?");
  const std::vector<std::string> recent = RecentTraceMessages(1, true);
  ASSERT_EQ(recent.size(), 1u);
  EXPECT_THAT(recent[0],
              HasSubstr("Nelze nacist lokalni jazykovy soubor zerva-sk.lng ani zerva-en-us.lng"));
}

TEST_F(LocalizationTest, EmptyValuesAndMonthNames) {
  dir_.Write("zerva-en-us.lng",
             "versionID=1\nlocationID=1033\nblank=\nmonthNames=Jan,Feb,,Apr\n<**EndLangFile**>");
  ScopedLocale locale("C");
  CLocalization localization(dir_.Path());
  ASSERT_TRUE(localization.LoadLocal());
  EXPECT_EQ(localization.Text("blank"), "?blank?");
  EXPECT_EQ(localization.Text("nowhere"), "?nowhere?");
  EXPECT_THAT(localization.MonthNames(), ElementsAre("Jan", "Feb", "", "Apr"));
}

TEST_F(LocalizationTest, LoadRemoteReplacesOnlyWhenNotOlder) {
  ScopedLocale locale("cs_CZ.UTF-8");
  dir_.Write("zerva-cs.lng", LangFile(3, 1029, "local"));

  struct Case {
    const char* name;
    std::map<std::string, std::string> files;
    std::string expected;
  };
  const std::string cs = std::string(kBase) + "zerva-cs.lng";
  const std::string en = std::string(kBase) + "zerva-en-us.lng";
  const Case cases[] = {
      {"same version replaces", {{cs, LangFile(3, 1029, "remote")}}, "remote"},
      {"newer replaces", {{cs, LangFile(4, 1029, "remote")}}, "remote"},
      {"older stays local", {{cs, LangFile(2, 1029, "remote")}}, "local"},
      {"truncated stays local", {{cs, "versionID=9\nhello=remote\n"}}, "local"},
      {"unversioned stays local", {{cs, LangFile(0, 1029, "remote")}}, "local"},
      {"missing stays local", {}, "local"},
      // The English fallback must not replace complete texts of the user's own language.
      {"english fallback stays local", {{en, LangFile(9, 1033, "remote")}}, "local"},
  };
  for (const Case& c : cases) {
    CLocalization localization(dir_.Path());
    ASSERT_TRUE(localization.LoadLocal());
    FakeService service{c.files, {}};
    localization.LoadRemote(kBase, service.Fetch());
    EXPECT_EQ(localization.Text("hello"), c.expected) << c.name;
    EXPECT_EQ(localization.LocalVersion(), 3) << c.name;
  }
}

TEST_F(LocalizationTest, LoadRemoteFallsBackToEnglishWhenLocalIsEnglishToo) {
  ScopedLocale locale("de_DE.UTF-8");
  dir_.Write("zerva-en-us.lng", LangFile(1, 1033, "local"));
  CLocalization localization(dir_.Path());
  ASSERT_TRUE(localization.LoadLocal());
  FakeService service;
  service.files[std::string(kBase) + "zerva-en-us.lng"] = LangFile(1, 1033, "remote");
  localization.LoadRemote(kBase, service.Fetch());
  EXPECT_THAT(service.asked, ElementsAre(std::string(kBase) + "zerva-de-de.lng",
                                         std::string(kBase) + "zerva-en-us.lng"));
  EXPECT_EQ(localization.Text("hello"), "remote");
  EXPECT_EQ(localization.RemoteVersion(), 1);

  // A file fetched elsewhere follows the same version rule.
  EXPECT_EQ(localization.LoadRemoteText(LangFile(0, 1033, "zero")), 0);
  EXPECT_EQ(localization.Text("hello"), "remote");
  EXPECT_EQ(localization.LoadRemoteText(LangFile(1, 1033, "again")), 1);
  EXPECT_EQ(localization.Text("hello"), "again");
}

TEST_F(LocalizationTest, SwitchToLanguagePicksNewerCopyPerFile) {
  ScopedLocale locale("C");
  const std::string cs = std::string(kBase) + "zerva-cs.lng";
  struct Case {
    const char* name;
    int localVersion;   // 0: no local file
    int remoteVersion;  // 0: not on the service
    std::string expected;
  };
  const Case cases[] = {
      {"remote only", 0, 2, "remote"},
      {"local only", 2, 0, "local"},
      {"equal versions take the service's", 2, 2, "remote"},
      {"older remote keeps local", 3, 2, "local"},
      {"newer remote", 2, 3, "remote"},
  };
  for (const Case& c : cases) {
    test::TempDir dir;
    dir.Write("zerva-en-us.lng", LangFile(1, 1033, "english"));
    if (c.localVersion) dir.Write("zerva-cs.lng", LangFile(c.localVersion, 1029, "local"));
    CLocalization localization(dir.Path());
    ASSERT_TRUE(localization.LoadLocal());
    FakeService service;
    if (c.remoteVersion) service.files[cs] = LangFile(c.remoteVersion, 1029, "remote");
    ASSERT_TRUE(localization.SwitchToLanguage(kBase, 1029, service.Fetch())) << c.name;
    EXPECT_EQ(localization.Text("hello"), c.expected) << c.name;
    EXPECT_EQ(localization.LocationId(), 1029) << c.name;
    EXPECT_EQ(localization.LocalVersion(), c.localVersion) << c.name;
    EXPECT_EQ(localization.RemoteVersion(), c.remoteVersion) << c.name;
  }
}

TEST_F(LocalizationTest, SwitchToLanguageFallsBackThenFailsWithoutChange) {
  ScopedLocale locale("it_IT.UTF-8");
  dir_.Write("zerva-en-us.lng", LangFile(1, 1033, "english"));
  CLocalization localization(dir_.Path());
  ASSERT_TRUE(localization.LoadLocal());

  // Neither Polish nor Italian exists: the thread's language is tried, then English.
  FakeService service;
  service.files[std::string(kBase) + "zerva-it-it.lng"] = LangFile(1, 1040, "ciao");
  ASSERT_TRUE(localization.SwitchToLanguage(kBase, 1045, service.Fetch()));
  EXPECT_EQ(localization.Text("hello"), "ciao");

  // Nothing anywhere: the switch fails and the active texts stay.
  test::TempDir empty;
  CLocalization bare(empty.Path());
  ASSERT_TRUE(bare.LoadRemoteText(LangFile(1, 1033, "kept")));
  FakeService none;
  EXPECT_FALSE(bare.SwitchToLanguage(kBase, 1045, none.Fetch()));
  EXPECT_EQ(bare.Text("hello"), "kept");
  // Each distinct file is asked for once.
  EXPECT_THAT(none.asked, ElementsAre(std::string(kBase) + "zerva-pl.lng",
                                      std::string(kBase) + "zerva-it-it.lng",
                                      std::string(kBase) + "zerva-en-us.lng"));
}

TEST_F(LocalizationTest, LookupsStaySafeWhileTheMapIsReplaced) {
  CLocalization localization(dir_.Path());
  const std::string first = LangFile(1, 1033, "first");
  const std::string second = LangFile(1, 1033, "second");
  ASSERT_EQ(localization.LoadRemoteText(first), 1);

  std::atomic<bool> stop{false};
  std::atomic<int> wrong{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 4; ++t) {
    readers.emplace_back([&] {
      while (!stop.load()) {
        const std::string value = localization.Text("hello");
        if (value != "first" && value != "second") ++wrong;
        if (localization.LocationId() != 1033) ++wrong;
      }
    });
  }
  for (int i = 0; i < 2000; ++i) localization.LoadRemoteText(i % 2 ? first : second);
  stop = true;
  for (std::thread& reader : readers) reader.join();
  EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace zerva
