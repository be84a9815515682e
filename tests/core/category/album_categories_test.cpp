#include "category/album_categories.h"

#include <gtest/gtest.h>

#include "core/category/category_xml.h"
#include "lang/text.h"

namespace zerva {
namespace {

using test::CategoryXml;

TEST(AlbumCategoryList, PiecesSeparatorsAndZeros) {
  using Pieces = std::vector<std::string>;
  EXPECT_EQ(AlbumCategoryPieces("12;15,,7;"), (Pieces{"12", "15", "7"}));
  EXPECT_EQ(AlbumCategoryPieces(""), Pieces{});
  EXPECT_EQ(AlbumCategoryPieces(",;,"), Pieces{});
  EXPECT_EQ(AlbumCategoryPieces("0,3,abc,00,4x"), (Pieces{"3", "4x"}));
  // Blanks stay part of a piece.
  EXPECT_EQ(AlbumCategoryPieces(" 3, 4 "), (Pieces{" 3", " 4 "}));

  EXPECT_TRUE(HasCategory("12;15", 15));
  EXPECT_FALSE(HasCategory("12;15", 1));
  EXPECT_FALSE(HasCategory(" 3", 3));  // a text comparison
  EXPECT_FALSE(HasCategory("0", 0));
  EXPECT_EQ(CountCategories(""), 0);
  EXPECT_EQ(CountCategories("12;15,,7;0"), 3);
}

TEST(AlbumCategoryList, AddAndRemoveRebuildWithCommas) {
  EXPECT_EQ(AddCategory("12;15", 7), "12,15,7");
  EXPECT_EQ(AddCategory("12;15", 15), "12,15");
  EXPECT_EQ(AddCategory("", 7), "7");
  EXPECT_EQ(AddCategory(",;", 7), "7");
  EXPECT_EQ(AddCategory("3", 0), "3");
  EXPECT_EQ(RemoveCategory("12;15,7", 15), "12,7");
  EXPECT_EQ(RemoveCategory("15", 15), "");
  EXPECT_EQ(RemoveCategory("12;;0,7", 99), "12,7");
  EXPECT_EQ(RemoveCategory("7,7", 7), "");
}

class AlbumCategoryTree : public ::testing::Test {
 protected:
  void SetUp() override {
    // 3 "Nature" is the parent of 31 "Flowers" and asks for information; 6 sends originals,
    // 7 hi-res; 41's parent 4 is not in the tree.
    std::string answer;
    const auto add = [&answer](int index, int parent, int partner, int needInfo,
                               const std::string& name, const std::string& extra = "") {
      CategoryXml c;
      c.index = index;
      c.parent = parent;
      c.partner = partner;
      c.needInfo = needInfo;
      c.name = name;
      c.extra = extra;
      answer += c.Xml();
    };
    add(3, 0, 0, 1, "Nature");
    add(31, 3, 0, 0, "Flowers");
    add(32, 3, 0, 0, "Animals");
    add(1, 0, 0, 0, "Family");
    add(6, 0, 0, 0, "Architecture_HD", MakeElement("sendOriginal", "1"));
    add(7, 0, 0, 0, "Fine_art", MakeElement("sendHiRes", "1"));
    add(41, 4, 0, 0, "Entries");
    add(9, 0, 5, 0, "Fotolab");
    ASSERT_TRUE(tree_.Parse(answer));
  }
  CategoryInfoMap tree_;
};

TEST_F(AlbumCategoryTree, NamesLeaveOutParentsAndUnknowns) {
  EXPECT_EQ(CategoryNames("3,31", tree_), "Flowers");
  EXPECT_EQ(CategoryNames("31;1,999,9", tree_), "Flowers, Family, *Fotolab");
  EXPECT_EQ(CategoryNames("3", tree_), Text("msgNoCategory"));
  EXPECT_EQ(CategoryNames("", tree_), Text("msgNoCategory"));
  EXPECT_EQ(CategoryNames("1", CategoryInfoMap()), Text("msgNoCategory"));
}

TEST_F(AlbumCategoryTree, ChildrenAndWhetherOneIsListed) {
  bool childInList = true;
  EXPECT_TRUE(HasChildren(tree_, 3, "1", &childInList));
  EXPECT_FALSE(childInList);
  EXPECT_TRUE(HasChildren(tree_, 3, "1,32", &childInList));
  EXPECT_TRUE(childInList);
  EXPECT_FALSE(HasChildren(tree_, 31, "31", &childInList));
  EXPECT_FALSE(childInList);
  // 4 is not in the tree, but 41 names it.
  EXPECT_TRUE(HasChildren(tree_, 4, "41", &childInList));
  EXPECT_TRUE(childInList);
  EXPECT_TRUE(HasChildren(tree_, 3, "", nullptr));
}

TEST_F(AlbumCategoryTree, FlagsOfTheListedCategories) {
  // 31 needs a form through its parent 3; 105 always does, even unknown.
  AlbumFlags flags = AlbumCategoryFlags("1;31,105,6,3", tree_);
  EXPECT_EQ(flags.needForm, (std::vector<int>{31, 105, 3}));
  EXPECT_TRUE(flags.anySendOriginal);
  EXPECT_FALSE(flags.anySendHiRes);

  flags = AlbumCategoryFlags("7,41,999", tree_);
  EXPECT_TRUE(flags.needForm.empty());
  EXPECT_FALSE(flags.anySendOriginal);
  EXPECT_TRUE(flags.anySendHiRes);

  flags = AlbumCategoryFlags("105", CategoryInfoMap());
  EXPECT_EQ(flags.needForm, std::vector<int>{105});
  EXPECT_TRUE(AlbumCategoryFlags("", tree_).needForm.empty());
}

TEST_F(AlbumCategoryTree, HdAndHiResDependOnSignInAndVip) {
  EXPECT_TRUE(AlbumNeedsHd(true, "1,6", tree_));
  EXPECT_FALSE(AlbumNeedsHd(false, "1,6", tree_));
  EXPECT_FALSE(AlbumNeedsHd(true, "1,7", tree_));

  EXPECT_TRUE(AlbumHiResOrVip(true, false, "7", tree_));
  EXPECT_FALSE(AlbumHiResOrVip(true, false, "6", tree_));
  EXPECT_TRUE(AlbumHiResOrVip(true, true, "", tree_));
  EXPECT_FALSE(AlbumHiResOrVip(false, true, "7", tree_));
}

}  // namespace
}  // namespace zerva
