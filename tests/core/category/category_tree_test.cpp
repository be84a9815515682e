#include "category/category_tree.h"

#include <gtest/gtest.h>

#include <string>

#include "app/elements.h"
#include "core/category/category_xml.h"

namespace zerva {
namespace {

using test::CategoryXml;
using test::FormItemXml;

TEST(CategoryTree, ReadsEveryFieldOfARecord) {
  CategoryXml c;
  c.index = 7;
  c.parent = 2;
  c.name = "Sea_and_sun";
  c.partner = 3;
  c.extra = MakeElement("sendOriginal", "1") + MakeElement("sendHiRes", "2") +
            MakeElement("subCategories", "<subCategory>Rivers</subCategory>") +
            MakeElement("url", "https://example.com/c") + MakeElement("caption", "Rules") +
            MakeElement("description", "Read first") + MakeElement("readOnly", "1");
  CategoryInfoMap tree;
  ASSERT_TRUE(tree.Parse(c.Xml()));
  const CCategoryInfo* info = tree.GetCategoryInfo(7);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->name, "*Sea and sun");
  EXPECT_EQ(info->parentID, 2);
  EXPECT_EQ(info->partnerID, 3);
  EXPECT_EQ(info->needInfo, 0);
  EXPECT_EQ(info->sendOriginal, 1);
  EXPECT_EQ(info->sendHiRes, 2);
  EXPECT_EQ(info->subCategories, "<subCategory>Rivers</subCategory>");
  EXPECT_EQ(info->url, "https://example.com/c");
  EXPECT_EQ(info->caption, "Rules");
  EXPECT_EQ(info->description, "Read first");
  EXPECT_TRUE(info->readOnly);
  EXPECT_TRUE(info->propertyItems.empty());
}

TEST(CategoryTree, DisplayNamesAndFlags) {
  EXPECT_EQ(CategoryDisplayName("Sea_and_sun", 3), "*Sea and sun");
  EXPECT_EQ(CategoryDisplayName("Sea_and_sun", 0), "Sea and sun");
  EXPECT_EQ(CategoryDisplayName("_x_", -1), " x ");
  EXPECT_EQ(CategoryDisplayName("", 1), "*");

  const auto readOnlyOf = [](const std::string& text) {
    CategoryXml c;
    c.extra = MakeElement("readOnly", text);
    CategoryInfoMap tree;
    tree.Parse(c.Xml());
    return tree.GetCategoryInfo(c.index)->readOnly;
  };
  EXPECT_FALSE(readOnlyOf(""));
  EXPECT_FALSE(readOnlyOf("0"));
  EXPECT_FALSE(readOnlyOf("no"));
  EXPECT_TRUE(readOnlyOf(" 2"));
  EXPECT_TRUE(readOnlyOf("-1"));
}

TEST(CategoryTree, LoadOrderParentSetAndLookups) {
  std::string answer;
  for (const auto& [index, parent] :
       std::vector<std::pair<int, int>>{{3, 0}, {31, 3}, {1, 0}, {32, 3}, {21, 2}, {5, -4}}) {
    CategoryXml c;
    c.index = index;
    c.parent = parent;
    c.name = "C" + std::to_string(index);
    answer += c.Xml();
  }
  CategoryInfoMap tree;
  ASSERT_TRUE(tree.Parse(answer));
  EXPECT_EQ(tree.LoadOrder(), (std::vector<int>{3, 31, 1, 32, 21, 5}));
  // 2 is named as a parent although it is not in the tree.
  EXPECT_EQ(tree.ParentSet(), (std::set<int>{2, 3}));
  EXPECT_EQ(tree.GetCategoryInfo(31)->name, "C31");
  EXPECT_EQ(tree.GetCategoryInfo(2), nullptr);
  EXPECT_EQ(tree.GetCategoryInfo(0), nullptr);
  EXPECT_EQ(tree.GetCategoryInfo(-3), nullptr);
  EXPECT_FALSE(tree.Empty());

  // A new parse replaces the tree whole.
  CategoryXml only;
  only.index = 9;
  ASSERT_TRUE(tree.Parse(only.Xml()));
  EXPECT_EQ(tree.LoadOrder(), std::vector<int>{9});
  EXPECT_TRUE(tree.ParentSet().empty());
  EXPECT_EQ(tree.GetCategoryInfo(3), nullptr);
}

TEST(CategoryTree, RepeatedAndNonPositiveIndexesAreSkipped) {
  CategoryXml first, repeat, zero, negative;
  first.index = repeat.index = 4;
  first.name = "First";
  repeat.name = "Second";
  repeat.parent = 8;
  zero.index = 0;
  zero.parent = 6;
  negative.index = -2;
  CategoryInfoMap tree;
  ASSERT_TRUE(tree.Parse(first.Xml() + repeat.Xml() + zero.Xml() + negative.Xml()));
  EXPECT_EQ(tree.LoadOrder(), std::vector<int>{4});
  EXPECT_EQ(tree.GetCategoryInfo(4)->name, "First");
  EXPECT_TRUE(tree.ParentSet().empty());
}

TEST(CategoryTree, EmptyOrUnreadableAnswersGiveAnEmptyTree) {
  CategoryInfoMap tree;
  CategoryXml c;
  ASSERT_TRUE(tree.Parse(c.Xml()));
  EXPECT_FALSE(tree.Parse(""));
  EXPECT_TRUE(tree.Empty());
  EXPECT_TRUE(tree.LoadOrder().empty());
  EXPECT_FALSE(tree.Parse("<categories>nothing</categories>"));
  EXPECT_FALSE(tree.Parse("<category><index>3</index>"));  // never closed
  EXPECT_TRUE(tree.Empty());
  ASSERT_TRUE(tree.Parse(c.Xml()));
  tree.Clear();
  EXPECT_TRUE(tree.Empty());
  EXPECT_TRUE(tree.ParentSet().empty());
}

TEST(CategoryTree, PropertyFormsAndNeedInfo) {
  CategoryXml withForm, invalidForm, child, plain, orphan;
  withForm.index = 4;
  withForm.info = FormItemXml("author", "string", "Author");
  invalidForm.index = 5;
  invalidForm.needInfo = 0;
  // The only item lacks its name: no list, and needInfo stays as received.
  invalidForm.info =
      MakeElement("item", MakeElement("key", "author") + MakeElement("type", "string"));
  child.index = 41;
  child.parent = 4;
  plain.index = 6;
  plain.needInfo = 1;
  orphan.index = 7;
  orphan.parent = 99;
  CategoryInfoMap tree;
  ASSERT_TRUE(
      tree.Parse(withForm.Xml() + invalidForm.Xml() + child.Xml() + plain.Xml() + orphan.Xml()));

  EXPECT_EQ(tree.GetCategoryInfo(4)->needInfo, 1);  // set because items were read
  EXPECT_EQ(tree.GetCategoryInfo(5)->needInfo, 0);
  EXPECT_TRUE(tree.GetCategoryInfo(5)->propertyItems.empty());

  const CategoryForm own = tree.GetCategoryForm(4);
  EXPECT_EQ(own.info, tree.GetCategoryInfo(4));
  ASSERT_NE(own.items, nullptr);
  ASSERT_EQ(own.items->size(), 1u);
  EXPECT_EQ((*own.items)[0].key, "author");

  const CategoryForm inherited = tree.GetCategoryForm(41);
  EXPECT_EQ(inherited.info, tree.GetCategoryInfo(41));
  EXPECT_EQ(inherited.items, own.items);

  const CategoryForm none = tree.GetCategoryForm(6);
  EXPECT_EQ(none.info, tree.GetCategoryInfo(6));
  EXPECT_EQ(none.items, nullptr);
  EXPECT_EQ(tree.GetCategoryForm(7).items, nullptr);

  const CategoryForm unknown = tree.GetCategoryForm(1234);
  EXPECT_EQ(unknown.info, nullptr);
  EXPECT_EQ(unknown.items, nullptr);
}

TEST(CategoryTree, TheCategorysOwnNameAndDescriptionAreNotTakenFromItsForm) {
  CategoryXml flood;
  flood.index = 105;
  flood.name = "Floods";
  // The form comes first and its items have names and descriptions of their own.
  flood.info = MakeElement("item", MakeElement("key", "location") + MakeElement("type", "string") +
                                       MakeElement("name", "Place") +
                                       MakeElement("description", "Town or village"));
  flood.extra = MakeElement("subCategories", MakeElement("subCategory", "Rivers")) +
                MakeElement("description", "Photos of floods");
  CategoryInfoMap tree;
  ASSERT_TRUE(tree.Parse(flood.Xml()));
  const CCategoryInfo* info = tree.GetCategoryInfo(105);
  ASSERT_NE(info, nullptr);
  EXPECT_EQ(info->name, "Floods");
  EXPECT_EQ(info->description, "Photos of floods");
  EXPECT_EQ(info->subCategories, MakeElement("subCategory", "Rivers"));
  ASSERT_EQ(info->propertyItems.size(), 1u);
  EXPECT_EQ(info->propertyItems[0].name, "Place");
  EXPECT_EQ(info->propertyItems[0].description, "Town or village");
}

}  // namespace
}  // namespace zerva
