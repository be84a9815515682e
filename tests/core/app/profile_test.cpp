#include "app/profile.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/credentials.h"
#include "app/history_list.h"
#include "app/user_variables.h"
#include "app/window_placement.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

using Names = std::vector<std::string>;
using namespace profile_keys;

class ProfileTest : public ::testing::Test {
 protected:
  test::TempDir dir_;
  Profile profile_{dir_.File("zerva.conf")};
};

TEST_F(ProfileTest, NeverWrittenReadsEmptyAndWritesAreSeenByANewProfile) {
  EXPECT_EQ(profile_.GetProfileString(kSetup, kEmail), "");
  ASSERT_TRUE(profile_.WriteProfileString(kSetup, kEmail, "jan@example.com"));
  ASSERT_TRUE(profile_.WriteProfileString("jan@example.com", kLogin, "Jan"));
  Profile again(profile_.Path());
  EXPECT_EQ(again.GetProfileString(kSetup, kEmail), "jan@example.com");
  EXPECT_EQ(again.GetProfileString("jan@example.com", kLogin), "Jan");
  EXPECT_EQ(again.GetProfileString("other@example.com", kLogin), "");
}

TEST(AppProfile, FollowsTheConfigFolderOfTheMoment) {
  std::string firstPath;
  {
    test::IsolatedHome home;
    Profile& profile = AppProfile();
    EXPECT_EQ(&profile, &AppProfile());
    EXPECT_EQ(profile.Path(), home.ConfigRoot() + "zerva/zerva.conf");
    ASSERT_TRUE(profile.WriteProfileString(kUpdater, kRver, "267"));
    EXPECT_EQ(test::ReadWholeFile(profile.Path()), "[updater]\nrver=267\n");
    firstPath = profile.Path();
  }
  test::IsolatedHome other;
  EXPECT_NE(AppProfile().Path(), firstPath);
  EXPECT_EQ(AppProfile().GetProfileString(kUpdater, kRver), "");
}

TEST_F(ProfileTest, InstallationIdIsMadeOnceAndSharedByEveryone) {
  std::vector<std::string> ids(4);
  std::vector<std::thread> threads;
  for (size_t i = 0; i < ids.size(); ++i) {
    threads.emplace_back([this, &ids, i] {
      Profile own(profile_.Path());
      ids[i] = InstallationId(own);
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(ids[0].size(), 36u);
  EXPECT_EQ(std::set<std::string>(ids.begin(), ids.end()).size(), 1u);
  EXPECT_EQ(InstallationId(profile_), ids[0]);
  EXPECT_EQ(profile_.GetProfileString(kCommon, kUuid), ids[0]);

  ASSERT_TRUE(profile_.WriteProfileString(kCommon, kUuid, ""));
  EXPECT_NE(InstallationId(profile_), ids[0]);  // an emptied id is made anew
}

TEST(HistoryList, SigningInTwiceLeavesOneEntryMovedToTheEnd) {
  std::string list;
  for (const char* name : {"jan", "eva", "Jan", "jan"}) {
    list = PushHistoryName(list, kEmailHistoryElement, name);
  }
  EXPECT_EQ(list, "<email>eva</email><email>Jan</email><email>jan</email>");
  EXPECT_EQ(ReadHistoryList(list, kEmailHistoryElement), (Names{"eva", "Jan", "jan"}));
  // Duplicates written by someone else are folded too.
  EXPECT_EQ(PushHistoryName("<email>a</email><email>b</email><email>a</email>", "email", "a"),
            "<email>b</email><email>a</email>");
}

TEST(HistoryList, RemovesOnlyTheExactName) {
  const std::string list = "<email>eva</email><email>jan</email>";
  EXPECT_EQ(RemoveHistoryName(list, "email", "eva"), "<email>jan</email>");
  EXPECT_EQ(RemoveHistoryName(list, "email", "EVA"), list);
  EXPECT_EQ(RemoveHistoryName(list, "email", "ev"), list);
  EXPECT_EQ(RemoveHistoryName("<email>x</email>", "email", "x"), "");
}

TEST(HistoryList, NamesThatWouldBreakTheListAreNotStored) {
  const std::string list = "<dir>/a</dir>";
  EXPECT_EQ(PushHistoryName(list, "dir", ""), list);
  EXPECT_EQ(PushHistoryName(list, "dir", "/x/<dir>/y"), list);
  EXPECT_EQ(PushHistoryName(list, "dir", "/x</dir>y"), list);
  // Other markup-like text is fine and comes back as it was.
  const std::string odd = "/home/j/<Fotky> & 100% [2010]</di";
  EXPECT_EQ(ReadHistoryList(PushHistoryName(list, "dir", odd), "dir"), (Names{"/a", odd}));
}

TEST(HistoryList, ReadingSkipsEmptyElementsAndTextBetween) {
  EXPECT_EQ(ReadHistoryList("junk<email>a</email>\n<email></email><email>b</email>", "email"),
            (Names{"a", "b"}));
  EXPECT_TRUE(ReadHistoryList("", "email").empty());
  EXPECT_TRUE(ReadHistoryList("<email>unclosed", "email").empty());
}

TEST_F(ProfileTest, EmailAndFolderHistoriesLiveInTheirSections) {
  ASSERT_TRUE(PushEmailHistory(profile_, "jan"));
  ASSERT_TRUE(PushEmailHistory(profile_, "eva"));
  ASSERT_TRUE(PushEmailHistory(profile_, "jan"));
  EXPECT_EQ(profile_.GetProfileString(kSetup, kEmailHistory),
            "<email>eva</email><email>jan</email>");
  ASSERT_TRUE(RemoveEmailHistory(profile_, "eva"));
  EXPECT_EQ(EmailHistory(profile_), (Names{"jan"}));

  const std::string login = "[jan]=%";
  ASSERT_TRUE(PushDirHistory(profile_, login, "/home/jan/Fotky 2010"));
  ASSERT_TRUE(PushDirHistory(profile_, login, "/home/jan/Léto\nnewline"));
  ASSERT_TRUE(PushDirHistory(profile_, "eva", "/home/eva"));
  EXPECT_EQ(DirHistory(profile_, login),
            (Names{"/home/jan/Fotky 2010", "/home/jan/Léto\nnewline"}));
  ASSERT_TRUE(RemoveDirHistory(profile_, login, "/home/jan/Fotky 2010"));
  EXPECT_EQ(DirHistory(Profile(profile_.Path()), login), (Names{"/home/jan/Léto\nnewline"}));
  EXPECT_EQ(DirHistory(profile_, "eva"), (Names{"/home/eva"}));
}

TEST(TrimLoginName, TrimsTheSetFromBothEndsOnly) {
  EXPECT_EQ(TrimLoginName(" \t\"<jan.novak@example.com>\";,.:'\r\n"), "jan.novak@example.com");
  EXPECT_EQ(TrimLoginName("jan novak"), "jan novak");
  EXPECT_EQ(TrimLoginName(".:;,'\" \t\r\n<>"), "");
  EXPECT_EQ(TrimLoginName("-jan_"), "-jan_");
  EXPECT_EQ(TrimLoginName(" \xc5\xbeluva "), "\xc5\xbeluva");
}

TEST(PasswordDigest, LowercaseMd5OfTheBytes) {
  EXPECT_EQ(PasswordDigest("abc"), "900150983cd24fb0d6963f7d28e17f72");
  EXPECT_TRUE(IsPasswordDigest(PasswordDigest("heslo")));
  EXPECT_FALSE(IsPasswordDigest("900150983CD24FB0D6963F7D28E17F72"));
  EXPECT_FALSE(IsPasswordDigest("900150983cd24fb0d6963f7d28e17f7"));
  EXPECT_FALSE(IsPasswordDigest("heslo"));
  EXPECT_FALSE(IsPasswordDigest(""));
}

TEST(WindowPlacement, NormalSaveNeverComesBackMinimised) {
  const WindowPlacement minimised{-8, 10, 1290, 1010, kShowMinimized, 3, -32000, -32000};
  EXPECT_EQ(FormatWindowPlacement(minimised, false), "-8,10,1290,1010,1,1,-32000,-32000");
  const WindowPlacement maximised{0, 0, 800, 600, 3, 2, 0, 0};
  EXPECT_EQ(FormatWindowPlacement(maximised, false), "0,0,800,600,3,0,0,0");
  EXPECT_EQ(FormatWindowPlacement(minimised, true), "-8,10,1290,1010,1,0,0,0");
}

TEST(WindowPlacement, ParsesExactlyEightIntegers) {
  const auto p = ParseWindowPlacement("-8,10,1290,1010,3,1,-1,-2", false);
  ASSERT_TRUE(p);
  EXPECT_EQ(*p, (WindowPlacement{-8, 10, 1290, 1010, 3, 1, -1, -2}));
  const auto rect = ParseWindowPlacement("1,2,3,4,3,1,5,6", true);
  ASSERT_TRUE(rect);
  EXPECT_EQ(*rect, (WindowPlacement{1, 2, 3, 4, kShowNormal, 0, 5, 6}));
  for (const char* bad : {"", "1,2,3,4,5,6,7", "1,2,3,4,5,6,7,8,9", "1,2,3,4,5,6,7,x",
                          "1,2,3,4,5,6,7,8,", "1,2,3,,5,6,7,8", "1;2;3;4;5;6;7;8",
                          "1,2,3,4,5,6,7,99999999999", "1,2,3,4,5,6,7,8x", " 1,2,3,4,5,6,7,8"}) {
    EXPECT_FALSE(ParseWindowPlacement(bad, false)) << bad;
  }
}

TEST_F(ProfileTest, MainWindowPlacementIsStoredUnderItsName) {
  EXPECT_FALSE(LoadWindowPlacement(profile_, kMainWindowName, false));
  const WindowPlacement placement{10, 20, 810, 620, kShowMinimized, 2, 0, 0};
  ASSERT_TRUE(SaveWindowPlacement(profile_, kMainWindowName, placement, false));
  EXPECT_EQ(profile_.GetProfileString(kResizableState, "zervaDlgWindowPlacement"),
            "10,20,810,620,1,0,0,0");
  const auto loaded = LoadWindowPlacement(profile_, kMainWindowName, false);
  ASSERT_TRUE(loaded);
  EXPECT_EQ(*loaded, (WindowPlacement{10, 20, 810, 620, kShowNormal, 0, 0, 0}));

  ASSERT_TRUE(profile_.WriteProfileString(kResizableState, "zervaDlgWindowPlacement", "10,20"));
  EXPECT_FALSE(LoadWindowPlacement(profile_, kMainWindowName, false));
}

constexpr const char* kAnswer =
    "<result>OK</result><variablesA>"
    "<variable><nameVar>sortAlb1</nameVar><valueVar>3</valueVar></variable>\n"
    "<variable><nameVar>categoryNewsData</nameVar><valueVar><n>a<b</n></valueVar></variable>\n"
    "<variable><nameVar>useExifName</nameVar><valueVar>1</valueVar></variable>\n"
    "<variable><nameVar>gpsMapsProvider</nameVar><valueVar>two</valueVar></variable>\n"
    "<variable><nameVar>zzServerOnly</nameVar><valueVar>keep me</valueVar></variable>\n"
    "<variable><nameVar></nameVar><valueVar>nameless</valueVar></variable>\n"
    "</variablesA>";

TEST(UserVariables, ReadFromTheSignInAnswerIntoTypedSettings) {
  UserVariables variables;
  EXPECT_EQ(ReadUserVariables(kAnswer, &variables), 5);
  EXPECT_EQ(variables.size(), 5u);
  EXPECT_EQ(variables.at("zzServerOnly").value, "keep me");
  EXPECT_FALSE(variables.at("sortAlb1").changed);

  UserSettings settings;
  settings.LoadFrom(variables);
  EXPECT_EQ(settings.sortAlb1, 3);
  EXPECT_EQ(settings.sortAlb2, 1);  // missing: default
  EXPECT_EQ(settings.categoryNewsData, "<n>a<b</n>");
  EXPECT_TRUE(settings.useExifName);
  EXPECT_FALSE(settings.useExifDesc);
  EXPECT_EQ(settings.gpsMapsProvider, 0);  // not a number: default

  // A later answer replaces what it names and keeps the rest.
  ReadUserVariables(
      "<variablesA><variable><nameVar>sortAlb1</nameVar><valueVar>-2</valueVar></variable>"
      "</variablesA>",
      &variables);
  EXPECT_EQ(variables.at("sortAlb1").value, "-2");
  EXPECT_EQ(variables.at("zzServerOnly").value, "keep me");
  EXPECT_EQ(ReadUserVariables("<result>OK</result>", &variables), 0);
  EXPECT_EQ(variables.size(), 5u);
}

TEST(UserVariables, DefaultsWhenTheServiceHasNone) {
  UserSettings settings;
  settings.LoadFrom({});
  EXPECT_EQ(settings, UserSettings{});
  UserVariables variables;
  settings.StoreTo(&variables);
  EXPECT_EQ(SerializeUserVariables(variables),
            "<variablesA>"
            "<variable><nameVar>categoryNewsData</nameVar><valueVar></valueVar></variable>\n"
            "<variable><nameVar>gpsMapsProvider</nameVar><valueVar>0</valueVar></variable>\n"
            "<variable><nameVar>sortAlb1</nameVar><valueVar>0</valueVar></variable>\n"
            "<variable><nameVar>sortAlb2</nameVar><valueVar>1</valueVar></variable>\n"
            "<variable><nameVar>useExifDesc</nameVar><valueVar>0</valueVar></variable>\n"
            "<variable><nameVar>useExifName</nameVar><valueVar>0</valueVar></variable>\n"
            "</variablesA>");
}

TEST(UserVariables, StoreMarksOnlyChangedValuesAndKeepsOthersUnescaped) {
  UserVariables variables;
  ReadUserVariables(kAnswer, &variables);
  UserSettings settings;
  settings.LoadFrom(variables);
  settings.sortAlb2 = 4;
  settings.categoryNewsData = "a<b & c";
  settings.StoreTo(&variables);
  EXPECT_FALSE(variables.at("sortAlb1").changed);
  EXPECT_TRUE(variables.at("sortAlb2").changed);
  EXPECT_TRUE(variables.at("categoryNewsData").changed);
  EXPECT_FALSE(variables.at("zzServerOnly").changed);
  const std::string text = SerializeUserVariables(variables);
  EXPECT_NE(text.find("<valueVar>a<b & c</valueVar>"), std::string::npos);
  EXPECT_NE(text.find("<nameVar>zzServerOnly</nameVar><valueVar>keep me</valueVar>"),
            std::string::npos);
}

TEST(SettingText, ElementIsAppendedOrReplacedInPlace) {
  EXPECT_EQ(ReplaceVariablesElement("", "<variablesA></variablesA>"), "<variablesA></variablesA>");
  EXPECT_EQ(ReplaceVariablesElement("<a>1</a>", "<variablesA>N</variablesA>"),
            "<a>1</a><variablesA>N</variablesA>");
  EXPECT_EQ(ReplaceVariablesElement("<a>1</a><variablesA>old</variablesA><b>2</b>",
                                    "<variablesA>N</variablesA>"),
            "<a>1</a><b>2</b><variablesA>N</variablesA>");
  // Only the first element goes; the closing tag is the first one after the opening tag.
  EXPECT_EQ(ReplaceVariablesElement("x</variablesA>y<variablesA>old</variablesA>z", "<new/>"),
            "x</variablesA>yz<new/>");
  // An element that never closes is left alone.
  EXPECT_EQ(ReplaceVariablesElement("<variablesA>open", "<new/>"), "<variablesA>open<new/>");
}

TEST(SettingText, SavedVariablesComeBackAtTheNextSignIn) {
  UserVariables variables;
  ReadUserVariables(kAnswer, &variables);
  UserSettings settings;
  settings.LoadFrom(variables);
  settings.useExifDesc = true;
  settings.gpsMapsProvider = 2;
  const std::string setting =
      BuildSettingText("<prefs>1</prefs><variablesA>stale</variablesA>", settings, &variables);
  EXPECT_EQ(setting.rfind("<prefs>1</prefs><variablesA>", 0), 0u);
  EXPECT_EQ(setting.find("stale"), std::string::npos);

  UserVariables next;
  EXPECT_EQ(ReadUserVariables(setting, &next), 7);
  UserSettings reloaded;
  reloaded.LoadFrom(next);
  EXPECT_EQ(reloaded, settings);
  EXPECT_EQ(next.at("zzServerOnly").value, "keep me");
}

}  // namespace
}  // namespace zerva
