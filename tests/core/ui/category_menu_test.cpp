// The album editor's category menu and what choosing an entry does to the album.
#include "ui/category_menu.h"

#include <gtest/gtest.h>

#include "category/album_categories.h"
#include "core/category/category_xml.h"
#include "lang/localization.h"
#include "lang/text.h"
#include "model/album.h"
#include "session/user_session.h"

namespace zerva {
namespace {

using test::CategoryXml;

std::string ExtraFlag(const char* name, int value) {
  return MakeElement(name, value);
}

std::string Cat(int index, int parent, int needInfo, const char* name,
                const std::string& extra = "") {
  CategoryXml xml;
  xml.index = index;
  xml.parent = parent;
  xml.needInfo = needInfo;
  xml.name = name;
  xml.extra = extra;
  return xml.Xml();
}

class CategoryMenu : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(Localization().LoadLocal());
    const std::string answer =
        Cat(1, 0, 0, "Family") + Cat(2, 0, 0, "Travel") + Cat(21, 2, 0, "Mountains") +
        Cat(22, 2, 0, "Sea") + Cat(3, 0, 0, "Nature") + Cat(4, 0, 1, "Competition") +
        Cat(41, 4, 0, "Entries") + Cat(8, 0, 0, "Staff", ExtraFlag("readOnly", 1)) +
        Cat(81, 8, 0, "Weekly") + Cat(6, 0, 0, "Art") +
        Cat(7, 0, 0, "Hi", ExtraFlag("sendHiRes", 1)) + Cat(105, 0, 1, "Floods");
    ASSERT_TRUE(session_.Categories().Parse(answer));
    album_.resolution = 700;
  }

  CategoryChoice Choose(int id) { return ChooseCategory(host_, id); }

  CUserSession session_;
  CAlbum album_;
  std::vector<std::string> informed_;
  std::vector<std::string> asked_;
  bool answerYes_ = true;
  std::vector<std::pair<int, std::string>> forms_;  // category, start values
  bool confirmForm_ = true;
  CategoryMenuHost host_{
      session_, album_, [this](const std::string& text) { informed_.push_back(text); },
      [this](const std::string& question) {
        asked_.push_back(question);
        return answerYes_;
      },
      [this](int id, const std::string& start, std::string* confirmed) {
        forms_.emplace_back(id, start);
        if (!confirmForm_) return false;
        *confirmed = "<valueSet><item><key>author</key><value>Eva</value></item></valueSet>";
        return true;
      }};
};

std::vector<std::string> Texts(const std::vector<MenuEntry>& entries) {
  std::vector<std::string> texts;
  for (const MenuEntry& entry : entries) texts.push_back(entry.separator ? "-" : entry.text);
  return texts;
}

TEST_F(CategoryMenu, HeadingsSubmenusAndTheAlbumsOwnCategories) {
  album_.albumCategory = "21;81";
  const std::vector<MenuEntry> entries =
      CategoryMenuEntries(session_.Categories(), album_.albumCategory);
  const std::string add = "< " + Text("albumAddCategory") + " >";
  const std::string remove = "< " + Text("albumRemoveCategory") + " >";
  EXPECT_EQ(Texts(entries), (std::vector<std::string>{
                                add, "Family", "Travel", "Nature", "Competition", "Art", "Hi",
                                "Floods", "-", remove, "Travel / Mountains", "Staff / Weekly"}));
  EXPECT_FALSE(entries[0].enabled);  // a heading answers nothing
  // Travel opens its children that the album does not have yet.
  ASSERT_EQ(entries[2].submenu.size(), 1u);
  EXPECT_EQ(entries[2].submenu[0].text, "Sea");
  EXPECT_EQ(entries[2].submenu[0].command, 22);
  EXPECT_EQ(entries[4].submenu.size(), 1u);  // Competition / Entries
  // A read-only category shows only where the album has it, greyed.
  EXPECT_TRUE(entries[10].enabled);
  EXPECT_EQ(entries[10].command, 21);
  EXPECT_FALSE(entries[11].enabled);

  EXPECT_EQ(Texts(CategoryMenuEntries(session_.Categories(), "")).size(), 8u);
}

TEST_F(CategoryMenu, TheSixthCategoryIsRefusedAndOneTheAlbumHasIsRemoved) {
  album_.albumCategory = "1,21,22,3,6";
  EXPECT_EQ(Choose(7), CategoryChoice::kTooMany);
  EXPECT_EQ(album_.albumCategory, "1,21,22,3,6");
  ASSERT_EQ(informed_.size(), 1u);
  EXPECT_EQ(informed_[0], Text("msgMaxCategories"));
  EXPECT_EQ(album_.resolution, 700);

  EXPECT_EQ(Choose(21), CategoryChoice::kRemoved);
  EXPECT_EQ(album_.albumCategory, "1,22,3,6");
  EXPECT_EQ(Choose(7), CategoryChoice::kAdded);
  EXPECT_EQ(album_.albumCategory, "1,22,3,6,7");
  EXPECT_TRUE(forms_.empty());
  EXPECT_TRUE(asked_.empty());
}

TEST_F(CategoryMenu, ReadOnlyAndUnknownCategoriesStayAsTheyAre) {
  album_.albumCategory = "81";
  EXPECT_EQ(Choose(81), CategoryChoice::kNothing);
  EXPECT_EQ(Choose(8), CategoryChoice::kNothing);
  EXPECT_EQ(Choose(999), CategoryChoice::kNothing);
  EXPECT_EQ(Choose(0), CategoryChoice::kNothing);
  EXPECT_EQ(album_.albumCategory, "81");
  // One the service no longer knows can still be removed, so it cannot block the list.
  album_.albumCategory = "81,999";
  EXPECT_EQ(Choose(999), CategoryChoice::kRemoved);
  EXPECT_EQ(album_.albumCategory, "81");
}

TEST_F(CategoryMenu, AFormCategoryOnAProtectedAlbumAsksFirstAndNeedsAConfirmedForm) {
  album_.albumVisible = false;
  album_.albumSecure = true;
  answerYes_ = false;
  EXPECT_EQ(Choose(41), CategoryChoice::kCancelled);
  ASSERT_EQ(asked_.size(), 1u);
  EXPECT_EQ(asked_[0],
            Text("msgAutoremoveAlbumProtection") + "\n" + Text("msgAutoremoveAlbumProtectionEx"));
  EXPECT_TRUE(forms_.empty());
  EXPECT_EQ(album_.albumCategory, "");
  EXPECT_FALSE(album_.albumVisible);

  answerYes_ = true;
  confirmForm_ = false;
  session_.MutableSettings().categoryNewsData =
      "<valueSet><item><key>city</key><value>Brno</value></item></valueSet>";
  EXPECT_EQ(Choose(41), CategoryChoice::kCancelled);
  ASSERT_EQ(forms_.size(), 1u);
  EXPECT_EQ(forms_[0].first, 41);
  EXPECT_EQ(forms_[0].second, session_.MutableSettings().categoryNewsData);
  EXPECT_EQ(album_.albumCategory, "");
  EXPECT_TRUE(album_.albumSecure);
  EXPECT_EQ(session_.StartValues(41), session_.MutableSettings().categoryNewsData);

  confirmForm_ = true;
  EXPECT_EQ(Choose(41), CategoryChoice::kAdded);
  EXPECT_EQ(album_.albumCategory, "41");
  EXPECT_TRUE(album_.albumVisible);
  EXPECT_FALSE(album_.albumSecure);
  EXPECT_NE(session_.StartValues(41).find("<value>Eva</value>"), std::string::npos);
  // The remembered values keep the earlier keys and take the new ones.
  EXPECT_NE(session_.Settings().categoryNewsData.find("Brno"), std::string::npos);
  EXPECT_NE(session_.Settings().categoryNewsData.find("Eva"), std::string::npos);
}

TEST_F(CategoryMenu, APublicAlbumIsNotAskedAndTheFloodCategoryAlwaysHasAForm) {
  EXPECT_EQ(Choose(105), CategoryChoice::kAdded);
  EXPECT_TRUE(asked_.empty());
  ASSERT_EQ(forms_.size(), 1u);
  EXPECT_EQ(forms_[0].first, 105);
  EXPECT_TRUE(CategoryNeedsPublicAlbum(session_.Categories(), 105));
  EXPECT_TRUE(CategoryNeedsPublicAlbum(session_.Categories(), 41));  // by its parent
  EXPECT_FALSE(CategoryNeedsPublicAlbum(session_.Categories(), 21));
  album_.albumCategory = "1,41,3,105";
  EXPECT_EQ(PublicOnlyCategories(session_.Categories(), album_.albumCategory),
            (std::vector<int>{41, 105}));
}

TEST_F(CategoryMenu, AnAddedCategoryRaisesTheTargetResolutionNeverLowersIt) {
  const int ordinary = album_.env.PhotoResolution("");
  EXPECT_EQ(Choose(1), CategoryChoice::kAdded);
  EXPECT_EQ(album_.resolution, ordinary);
  album_.resolution = ordinary + 500;
  EXPECT_EQ(Choose(3), CategoryChoice::kAdded);
  EXPECT_EQ(album_.resolution, ordinary + 500);

  // A category that asks for the high resolution raises it to the high one.
  album_.resolution = ordinary;
  album_.env.signedIn = true;
  album_.env.categoryWantsHiRes = [this](std::string_view list) {
    return AlbumHiResOrVip(true, false, list, session_.Categories());
  };
  EXPECT_EQ(Choose(7), CategoryChoice::kAdded);
  EXPECT_EQ(album_.resolution, album_.env.params.PhotoResolutionVip);
  EXPECT_GT(album_.resolution, ordinary);
}

}  // namespace
}  // namespace zerva
