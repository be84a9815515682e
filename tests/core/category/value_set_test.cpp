#include "category/value_set.h"

#include <gtest/gtest.h>

namespace zerva {
namespace {

TEST(ValueSet, WrittenInKeyOrderWithoutAnythingElse) {
  EXPECT_EQ(WriteValueSet({{"zipcode", "60200"}, {"author", "Jan"}}),
            "<valueSet><item><key>author</key><value>Jan</value></item>"
            "<item><key>zipcode</key><value>60200</value></item></valueSet>");
  EXPECT_EQ(WriteValueSet({}), "<valueSet></valueSet>");
  // Byte order: upper case before lower case.
  EXPECT_EQ(WriteValueSet({{"b", "1"}, {"B", "2"}}),
            "<valueSet><item><key>B</key><value>2</value></item>"
            "<item><key>b</key><value>1</value></item></valueSet>");
  // Texts are not escaped, and an empty value is kept.
  EXPECT_EQ(WriteValueSet({{"k", "a & b < c"}, {"e", ""}}),
            "<valueSet><item><key>e</key><value></value></item>"
            "<item><key>k</key><value>a & b < c</value></item></valueSet>");
}

TEST(ValueSet, ParsedBackToTheSameMap) {
  const ValueSet values = {{"author", "Jan Novák"},
                           {"desc", "line 1\r\nline 2"},
                           {"empty", ""},
                           {"k", "a & b < c > d"},
                           {"date", "2010-12-31 23:59:59"}};
  EXPECT_EQ(ParseValueSet(WriteValueSet(values)), values);
}

TEST(ValueSet, ReadingSkipsEmptyKeysAndLetsLaterKeysWin) {
  EXPECT_EQ(ParseValueSet("<valueSet><item><key>a</key><value>1</value></item>"
                          "<item><key></key><value>lost</value></item>"
                          "<item><value>no key</value></item>"
                          "<item><key>a</key><value>2</value></item>"
                          "<item><key>b</key></item></valueSet>"),
            (ValueSet{{"a", "2"}, {"b", ""}}));
  EXPECT_TRUE(ParseValueSet("").empty());
  EXPECT_TRUE(ParseValueSet("<valueSet></valueSet>").empty());
  EXPECT_TRUE(ParseValueSet("<item><key>a</key><value>1</value></item>").empty());
  EXPECT_TRUE(ParseValueSet("<valueSet><item><key>a</key>").empty());
  // Text around the element does not matter.
  EXPECT_EQ(ParseValueSet("x<valueSet><item><key>a</key><value>1</value></item></valueSet>y"),
            (ValueSet{{"a", "1"}}));
}

TEST(ValueSet, MergeCopiesTheUpdateOverTheRemembered) {
  const std::string remembered = WriteValueSet({{"author", "Jan"}, {"city", "Brno"}});
  const std::string update = WriteValueSet({{"author", "Eva"}, {"zipcode", "60200"}});
  EXPECT_EQ(ParseValueSet(MergeValueSets(remembered, update)),
            (ValueSet{{"author", "Eva"}, {"city", "Brno"}, {"zipcode", "60200"}}));
  EXPECT_EQ(MergeValueSets("", update), update);
  EXPECT_EQ(MergeValueSets(remembered, ""), remembered);
  EXPECT_EQ(MergeValueSets("", ""), "<valueSet></valueSet>");
}

}  // namespace
}  // namespace zerva
