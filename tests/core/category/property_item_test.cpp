#include "category/property_item.h"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "app/elements.h"

namespace zerva {
namespace {

std::string Validator(const std::string& kind, const std::string& message,
                      const std::string& parameter = "", const std::string& value = "") {
  std::string content = MakeElement("message", message);
  if (!parameter.empty()) content += MakeElement(parameter, value);
  return MakeElement(kind, content);
}

std::string Item(const std::string& key, const std::string& type, const std::string& name,
                 const std::string& properties = "", const std::string& validators = "") {
  return MakeElement("item", MakeElement("key", key) + MakeElement("type", type) +
                                 MakeElement("name", name) + MakeElement("description", "d") +
                                 MakeElement("properties", properties) +
                                 MakeElement("validators", validators));
}

PropertyItem OnlyItem(const std::string& text) {
  const PropertyItems items = ParsePropertyItems(text);
  EXPECT_EQ(items.size(), 1u);
  return items.empty() ? PropertyItem{} : items[0];
}

TEST(NumericValue, ReadsLikeTheCLibraryAndSaturates) {
  EXPECT_EQ(NumericValue("  42abc"), 42);
  EXPECT_EQ(NumericValue("\t-17"), -17);
  EXPECT_EQ(NumericValue("+8"), 8);
  EXPECT_EQ(NumericValue("abc"), 0);
  EXPECT_EQ(NumericValue(""), 0);
  EXPECT_EQ(NumericValue("- 5"), 0);
  EXPECT_EQ(NumericValue("2011-01-05 10:00:00"), 2011);
  EXPECT_EQ(NumericValue("99999999999999999999999"), std::numeric_limits<int64_t>::max());
  EXPECT_EQ(NumericValueInt("99999999999"), std::numeric_limits<int>::max());
  EXPECT_EQ(NumericValueInt("-99999999999"), std::numeric_limits<int>::min());
}

TEST(PropertyItems, ValidItemsInOrderWithTheirParts) {
  const std::string text =
      Item("region", "select", "Region",
           MakeElement("groupName", "Event") +
               MakeElement("items", MakeElement("item", "North") + MakeElement("item", "South")),
           Validator("requireValidator", "Choose")) +
      Item("", "string", "No key") + Item("k", "", "No type") +
      MakeElement("item", MakeElement("key", "x") + MakeElement("type", "string")) +
      Item("note", "string", "Note", MakeElement("multiline", "1"));
  const PropertyItems items = ParsePropertyItems(text);
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[0].key, "region");
  EXPECT_EQ(items[0].type, "select");
  EXPECT_EQ(items[0].name, "Region");
  EXPECT_EQ(items[0].description, "d");
  EXPECT_EQ(ItemProperty(items[0], "groupName"), "Event");
  EXPECT_EQ(SelectChoices(items[0]), (std::vector<std::string>{"North", "South"}));
  ASSERT_EQ(items[0].validators.size(), 1u);
  EXPECT_EQ(items[0].validators[0].kind, ValidatorKind::kRequire);
  EXPECT_EQ(items[1].key, "note");
  EXPECT_EQ(ItemProperty(items[1], "multiline"), "1");
  EXPECT_EQ(ItemProperty(items[1], "initialValue"), "");
  EXPECT_TRUE(SelectChoices(items[1]).empty());
  EXPECT_TRUE(ParsePropertyItems("").empty());
  EXPECT_TRUE(ParsePropertyItems("<item><key>a</key>").empty());
}

TEST(PropertyItems, ValidatorsSortedByElementNameAndFilteredByType) {
  const PropertyItem item = OnlyItem(
      Item("name", "string", "Name", "",
           Validator("requireValidator", "required") +
               Validator("regexValidator", "regex", "regex", "^a") +
               Validator("minValueValidator", "not for strings", "minValue", "1") +
               Validator("minLengthValidator", "min", "minLength", "3") +
               Validator("maxLengthValidator", "", "maxLength", "9") +  // no message: dropped
               Validator("unknownValidator", "unknown") +
               Validator("maxLengthValidator", "second copy", "maxLength", "1")));
  ASSERT_EQ(item.validators.size(), 3u);
  EXPECT_EQ(item.validators[0].kind, ValidatorKind::kMinLength);
  EXPECT_EQ(item.validators[0].parameter, "3");
  EXPECT_EQ(item.validators[1].kind, ValidatorKind::kRegex);
  EXPECT_EQ(item.validators[1].parameter, "^a");
  EXPECT_EQ(item.validators[2].kind, ValidatorKind::kRequire);
  EXPECT_EQ(item.validators[2].message, "required");

  // Which kinds each type accepts.
  struct Accepts {
    const char* type;
    std::vector<ValidatorKind> kinds;
  };
  const std::string all = Validator("regexValidator", "m", "regex", "x") +
                          Validator("maxLengthValidator", "m", "maxLength", "1") +
                          Validator("minLengthValidator", "m", "minLength", "1") +
                          Validator("maxValueValidator", "m", "maxValue", "1") +
                          Validator("minValueValidator", "m", "minValue", "1") +
                          Validator("requireValidator", "m");
  using K = ValidatorKind;
  for (const Accepts& a :
       std::vector<Accepts>{{"string", {K::kMaxLength, K::kMinLength, K::kRegex, K::kRequire}},
                            {"int", {K::kMaxValue, K::kMinValue, K::kRegex, K::kRequire}},
                            {"dateTime", {K::kMaxValue, K::kMinValue, K::kRequire}},
                            {"select", {K::kRequire}},
                            {"bool", {K::kRequire}},
                            {"colour", {}}}) {
    const PropertyItem typed = OnlyItem(Item("k", a.type, "n", "", all));
    std::vector<ValidatorKind> kinds;
    for (const auto& v : typed.validators) kinds.push_back(v.kind);
    EXPECT_EQ(kinds, a.kinds) << a.type;
  }
}

TEST(PropertyItems, ChildElementListStopsAtTheFirstUnreadableElement) {
  using Map = std::map<std::string, std::string>;
  EXPECT_EQ(ReadChildElements("<a>1</a><b>2</b><a>3</a>"), (Map{{"a", "1"}, {"b", "2"}}));
  EXPECT_EQ(ReadChildElements(" \n<a>1</a>\n <b><c>x</c></b>"),
            (Map{{"a", "1"}, {"b", "<c>x</c>"}}));
  EXPECT_EQ(ReadChildElements("<a>1</a><e></e><b>2</b>"), (Map{{"a", "1"}}));
  EXPECT_EQ(ReadChildElements("<a>1</a><>x</><b>2</b>"), (Map{{"a", "1"}}));
  EXPECT_EQ(ReadChildElements("<a>1</a><b>unclosed"), (Map{{"a", "1"}}));
  EXPECT_EQ(ReadChildElements("x>y<a>1</a>"), Map{});
  EXPECT_EQ(ReadChildElements("<a>1</a><b>2"), (Map{{"a", "1"}}));
  // Nested elements of the same name are balanced.
  EXPECT_EQ(ReadChildElements("<a><a>1</a></a><b>2</b>"), (Map{{"a", "<a>1</a>"}, {"b", "2"}}));
  EXPECT_TRUE(ReadChildElements("").empty());
  // A long run stops after a bounded number of children.
  std::string many;
  for (int i = 0; i < 1000; ++i) many += MakeElement("p" + std::to_string(i), "v");
  EXPECT_EQ(ReadChildElements(many).size(), 64u);
}

TEST(CheckValue, FirstFailingValidatorGivesItsMessage) {
  const PropertyItem name =
      OnlyItem(Item("name", "string", "Name", "",
                    Validator("regexValidator", "letters only", "regex", "^\\c+$") +
                        Validator("minLengthValidator", "at least three", "minLength", "3") +
                        Validator("maxLengthValidator", "at most five", "maxLength", "5")));
  std::string message = "untouched";
  EXPECT_TRUE(CheckValue(name, "abcd", &message));
  EXPECT_EQ(message, "untouched");
  // minLength sorts before regex, so its message wins for "ab".
  EXPECT_FALSE(CheckValue(name, "ab", &message));
  EXPECT_EQ(message, "at least three");
  EXPECT_FALSE(CheckValue(name, "abcdef", &message));
  EXPECT_EQ(message, "at most five");
  EXPECT_FALSE(CheckValue(name, "ab1d", &message));
  EXPECT_EQ(message, "letters only");
  // Lengths are bytes: "čá" is four.
  EXPECT_TRUE(CheckValue(OnlyItem(Item("k", "string", "n", "",
                                       Validator("maxLengthValidator", "m", "maxLength", "4"))),
                         "\xc4\x8d\xc3\xa1", nullptr));
  EXPECT_FALSE(CheckValue(OnlyItem(Item("k", "string", "n", "",
                                        Validator("maxLengthValidator", "m", "maxLength", "3"))),
                          "\xc4\x8d\xc3\xa1", nullptr));
}

TEST(CheckValue, DateTimeAndIntLimitsReadTheLeadingNumber) {
  const PropertyItem date = OnlyItem(
      Item("date", "dateTime", "Date", "",
           Validator("maxValueValidator", "no later than 2010", "maxValue", "2010") +
               Validator("minValueValidator", "no earlier than 1990", "minValue", "1990")));
  std::string message;
  EXPECT_FALSE(CheckValue(date, "2011-01-05 10:00:00", &message));
  EXPECT_EQ(message, "no later than 2010");
  EXPECT_TRUE(CheckValue(date, "2010-12-31 23:59:59", &message));
  EXPECT_FALSE(CheckValue(date, "1989-12-31 23:59:59", &message));
  EXPECT_EQ(message, "no earlier than 1990");

  const PropertyItem level =
      OnlyItem(Item("level", "int", "Level", "",
                    Validator("maxValueValidator", "too high", "maxValue", "2000") +
                        Validator("minValueValidator", "negative", "minValue", "0")));
  EXPECT_TRUE(CheckValue(level, "2000", nullptr));
  EXPECT_FALSE(CheckValue(level, "2001", nullptr));
  EXPECT_FALSE(CheckValue(level, "-1", nullptr));
  EXPECT_TRUE(CheckValue(level, "", nullptr));  // no number reads as 0
  // A number too long for any integer is still above the maximum.
  EXPECT_FALSE(CheckValue(level, "999999999999999999999999", nullptr));
}

TEST(CheckValue, RequireFailsOnlyOnEmpty) {
  const PropertyItem agree =
      OnlyItem(Item("agree", "bool", "Agree", "", Validator("requireValidator", "please agree")));
  std::string message;
  EXPECT_TRUE(CheckValue(agree, "false", &message));
  EXPECT_TRUE(CheckValue(agree, "true", &message));
  EXPECT_FALSE(CheckValue(agree, "", &message));
  EXPECT_EQ(message, "please agree");

  const PropertyItem region =
      OnlyItem(Item("region", "select", "Region", "", Validator("requireValidator", "choose")));
  EXPECT_FALSE(CheckValue(region, "", &message));
  EXPECT_TRUE(CheckValue(region, "North", &message));

  // No validators: anything passes.
  EXPECT_TRUE(CheckValue(OnlyItem(Item("k", "string", "n")), "", &message));
}

TEST(CheckValue, RegexValidatorEdges) {
  const auto regexItem = [](const std::string& type, const std::string& pattern) {
    return OnlyItem(Item("k", type, "n", "", Validator("regexValidator", "bad", "regex", pattern)));
  };
  EXPECT_TRUE(CheckValue(regexItem("int", "^\\d+$"), "123", nullptr));
  EXPECT_FALSE(CheckValue(regexItem("int", "^\\d+$"), "12a", nullptr));
  EXPECT_TRUE(CheckValue(regexItem("string", "^.+@.+\\..+$"), "a@b.cz", nullptr));
  EXPECT_FALSE(CheckValue(regexItem("string", "^.+@.+\\..+$"), "a@b", nullptr));
  // A pattern that does not parse passes.
  EXPECT_TRUE(CheckValue(regexItem("string", "[0-9"), "abc", nullptr));
  // An empty pattern matches everything.
  EXPECT_TRUE(CheckValue(regexItem("string", ""), "", nullptr));
}

}  // namespace
}  // namespace zerva
