#include "app/elements.h"

#include <gtest/gtest.h>

#include <string>

namespace zerva {
namespace {

TEST(GetElement, FindsFirstBalancedElementAndKeepsNestingWhole) {
  EXPECT_EQ(GetElement("<result>OK</result><value>v</value>", "value"), "v");
  EXPECT_EQ(GetElement("<value>a<value>b</value>c</value><value>2</value>", "value"),
            "a<value>b</value>c");
  // Tags are exact: a longer name with the same start is not the element.
  EXPECT_EQ(GetElement("<valueVar>x</valueVar><value>y</value>", "value"), "y");
  EXPECT_EQ(GetElement("<Value>x</Value>", "value"), "");
  // Nothing is decoded or trimmed.
  EXPECT_EQ(GetElement("<value> a &amp; b </value>", "value"), " a &amp; b ");
}

TEST(GetElement, ReportsMissingAndUnbalancedApartFromEmpty) {
  bool found = true;
  EXPECT_EQ(GetElement("no tags", "value", &found), "");
  EXPECT_FALSE(found);
  EXPECT_EQ(GetElement("<value>a<value>b</value>", "value", &found), "");
  EXPECT_FALSE(found);
  EXPECT_EQ(GetElement("<value></value>", "value", &found), "");
  EXPECT_TRUE(found);
}

TEST(GetElement, TypedReaders) {
  const std::string t = "<n>42x</n><neg>-7</neg><bad>abc</bad><f>0</f><e></e><d>2.5</d>";
  EXPECT_EQ(GetElementInt(t, "n"), 42);
  EXPECT_EQ(GetElementInt(t, "neg"), -7);
  EXPECT_EQ(GetElementInt(t, "bad"), 0);
  EXPECT_EQ(GetElementInt(t, "missing"), 0);
  EXPECT_FALSE(GetElementFlag(t, "f", true));
  EXPECT_TRUE(GetElementFlag(t, "n", false));
  EXPECT_TRUE(GetElementFlag(t, "e", true));
  EXPECT_FALSE(GetElementFlag(t, "bad", true));
  EXPECT_TRUE(GetElementEquals(t, "n", "42x", false));
  EXPECT_FALSE(GetElementEquals(t, "n", "42", true));
  EXPECT_TRUE(GetElementEquals(t, "missing", "x", true));
  EXPECT_DOUBLE_EQ(GetElementDouble(t, "d", 0), 2.5);
  EXPECT_DOUBLE_EQ(GetElementDouble(t, "missing", 1.5), 1.5);
}

TEST(GetElements, CollectsInOrderAndSkipsEmptyOnes) {
  const std::string t = "<album>1</album> <album>2</album><album>3</album>";
  EXPECT_EQ(GetElements(t, "album"), (std::vector<std::string>{"1", "2", "3"}));
  EXPECT_TRUE(GetElements("<albums></albums>", "album").empty());
  EXPECT_EQ(GetElements("<a>1</a><a></a><a>3</a>", "a"), (std::vector<std::string>{"1", "3"}));
  EXPECT_EQ(GetElements("<a>x<a>y</a></a><a>z</a>", "a"),
            (std::vector<std::string>{"x<a>y</a>", "z"}));
}

TEST(GetElements, StopsAtTenThousandAndAtAnUnbalancedElement) {
  std::string many;
  for (int i = 0; i < 10050; ++i) many += "<i>1</i>";
  EXPECT_EQ(GetElements(many, "i").size(), 10000u);
  EXPECT_EQ(GetElements("<i>1</i><i><i>2</i>", "i"), (std::vector<std::string>{"1"}));
}

TEST(GetElements, HostileInputStaysLinear) {
  // 2 MB of opening tags with a few closings would be quadratic for a naive rescan.
  std::string t;
  for (int i = 0; i < 200000; ++i) t += (i % 1000 == 0) ? "</a>" : "<a>";
  EXPECT_TRUE(GetElements(t, "a").empty());
  EXPECT_EQ(GetElement(t, "a"), "");
}

TEST(GetElement, TenMegabytesOfNestingAreReadInOnePass) {
  const int depth = 1500000;  // seven bytes a level: about 10 MB in all
  std::string t;
  t.reserve(depth * 9 + 16);
  for (int i = 0; i < depth; ++i) t += "<a>";
  t += "core";
  for (int i = 0; i < depth; ++i) t += "</a>";
  const std::string content = GetElement(t, "a");
  EXPECT_EQ(content.size(), t.size() - 7);
  EXPECT_EQ(GetElements(t, "a").size(), 1u);
  EXPECT_EQ(RemoveElement(t, "a").size(), t.size() - 3 - 4 - 4 - (depth - 1) * 3);
}

TEST(MakeElement, WritesValueUnescaped) {
  EXPECT_EQ(MakeElement("v", "a<b"), "<v>a<b</v>");
  EXPECT_EQ(MakeElement("n", int64_t{-12}), "<n>-12</n>");
  EXPECT_EQ(MakeElement("n", 5), "<n>5</n>");
}

TEST(RemoveElement, RemovesFirstSpanWithoutCountingNesting) {
  EXPECT_EQ(RemoveElement("a<x>1</x>b<x>2</x>", "x"), "ab<x>2</x>");
  EXPECT_EQ(RemoveElement("a<x>1<x>2</x>3</x>b", "x"), "a3</x>b");
  EXPECT_EQ(RemoveElement("</x><x>", "x"), "</x><x>");
  EXPECT_EQ(RemoveElement("none", "x"), "none");
}

}  // namespace
}  // namespace zerva
