// Every text the window shows exists in both shipped languages: each page, both bands and the
// title are filled in English and in Czech with no key left untranslated, and every key that a
// page picks at run time (the account form's errors) is in both files.
#include <gtest/gtest.h>

#include <regex>

#include "core/ui/page_test_fixture.h"
#include "lang/text.h"
#include "ui/create_account_dlg.h"

namespace zerva::test {
namespace {

// Keys chosen by value rather than written as a lookup, so the key scan cannot see them.
const char* const kRunTimeKeys[] = {
    "btnNickEmpty",         "btnNickFormat",          "btnNickFormat2",
    "btnNickUsed",          "btnEmailEmpty",          "btnEmailFormat",
    "btnEmailUsed",         "btnPasswdEmpty",         "btnPasswdFormat",
    "btnPasswdFormat2",     "msgCreateAccountFailed", "newRulesTool",
    "btnPublishOnFBTool",   "moreUserSettingTool",    "navNextEditUserTool",
    "navBackEditUserTool",  "EditUserDetailDlgTitle", "navPrevAlbumsToolUpl",
    "navNextSendEmailTool",
};

std::vector<std::string> Untranslated(const FakePageView& view, const std::string& where) {
  static const std::regex missing(R"(\?[A-Za-z0-9_]+\?)");
  std::vector<std::string> found;
  for (const auto& [control, state] : view.controls) {
    for (const std::string* text : {&state.text, &state.tooltip}) {
      if (std::regex_search(*text, missing)) {
        found.push_back(where + " control " + std::to_string(control) + ": " + *text);
      }
    }
    for (const std::string& item : state.items) {
      if (std::regex_search(item, missing)) found.push_back(where + " item: " + item);
    }
  }
  // The albums page's items and their buttons.
  for (const AlbumsListItem& item : view.albums.items) {
    std::vector<const std::string*> texts = {&item.hiddenMark, &item.passwordMark,
                                             &item.createdTooltip, &item.updatedTooltip};
    for (const AlbumItemButton& button : item.buttons) {
      texts.push_back(&button.caption);
      texts.push_back(&button.tooltip);
    }
    for (const std::string* text : texts) {
      if (std::regex_search(*text, missing)) found.push_back(where + " album item: " + *text);
    }
  }
  return found;
}

class PageTextsTest : public PageTest, public ::testing::WithParamInterface<const char*> {
 protected:
  void SetUp() override {
    PageTest::SetUp();
    ::setenv("LC_ALL", GetParam(), 1);
  }
};

TEST_P(PageTextsTest, EveryPageIsFullyTranslated) {
  const std::string user = NewAccount({"Album"});
  RunWindow([&](CzervaApp& app, WindowHarness& window) {
    const int expected = std::string(GetParam()) == "C" ? 1033 : 1029;
    ASSERT_EQ(app.Lang().LocationId(), expected);
    window.Start();
    std::vector<std::string> problems;
    auto collect = [&](const std::string& where) {
      for (int i = 0; i < kPageCount; ++i) {
        for (std::string& p : Untranslated(window.pages[i], where + "/" + PageName(PageId(i)))) {
          problems.push_back(std::move(p));
        }
      }
      for (std::string& p : Untranslated(window.main.header, where + "/header")) {
        problems.push_back(std::move(p));
      }
      for (std::string& p : Untranslated(window.main.userBar, where + "/user bar")) {
        problems.push_back(std::move(p));
      }
    };
    window.Page(PageId::kLogin).Click(kLoginCreate);
    collect("account");
    window.Page(PageId::kCreateAccount).Click(kAccountCancel);
    SignInThroughThePage(window, user, "secret");
    // The user's own language is English: keep the one under test.
    if (app.Lang().LocationId() != expected) window.dlg.SwitchLanguage(expected);
    window.dlg.OnLanguageChanged();
    for (int i = 0; i < kPageCount; ++i) {
      window.dlg.GoTo(PageName(PageId(i)), nullptr);
      collect(PageName(PageId(i)));
    }
    EXPECT_TRUE(problems.empty()) << problems.front();
    EXPECT_EQ(window.main.title.find('?'), std::string::npos) << window.main.title;
    for (const char* key : kRunTimeKeys) {
      EXPECT_NE(Text(key).front(), '?') << key;
    }
  });
}

INSTANTIATE_TEST_SUITE_P(Languages, PageTextsTest, ::testing::Values("C", "cs_CZ.UTF-8"));

}  // namespace
}  // namespace zerva::test
