// Reading the value of a sign-in answer.
#include "session/sign_in_answer.h"

#include <gtest/gtest.h>

#include "app/elements.h"

namespace zerva {
namespace {

std::string Element(const char* name, const std::string& value) {
  return MakeElement(name, value);
}

const std::string kSetting =
    "<before>1</before><variablesA><variable><nameVar>sortAlb1</nameVar><valueVar>4</valueVar>"
    "</variable>\n<variable><nameVar>own</nameVar><valueVar>a<b</valueVar></variable>\n"
    "</variablesA>";

std::string FullAnswer() {
  return Element("name", "alice") + Element("setting", kSetting) + Element("code", "c0de") +
         Element("timeout", "15") + Element("userID", "42") + Element("quota", "1000") +
         Element("usedSize", "250") +
         Element("emailHistory", Element("emailA", "a@x.cz") + Element("emailA", "b@y.cz")) +
         Element("userType", "111") + Element("lang", "1029") + Element("watermarkWidth", "160") +
         Element("watermarkHeight", "60") + Element("fullName", "Alice A.") +
         Element("description", "one<br>two<BR/>three\r\nfour\rfive") +
         Element("www", "http://alice.example/") +
         Element("partners", Element("partner", Element("partnerID", "3") + Element("name", "Lab") +
                                                    Element("desc", "Prints"))) +
         Element("userPageOrder", "viewCountDesc") + Element("canPublishOnFB", "1") +
         Element("defaultWatermark", "0");
}

TEST(SignInAnswer, EveryElementIsRead) {
  const SignInAnswer a = ParseSignInAnswer(FullAnswer());
  EXPECT_EQ(a.name, "alice");
  EXPECT_EQ(a.setting, kSetting);
  EXPECT_EQ(a.code, "c0de");
  EXPECT_EQ(a.timeout, 15);
  EXPECT_EQ(a.userId, 42);
  EXPECT_EQ(a.quota, 1000);
  EXPECT_EQ(a.usedSize, 250);
  EXPECT_EQ(a.emailHistory, (std::vector<std::string>{"a@x.cz", "b@y.cz"}));
  EXPECT_EQ(a.userType, 111);
  EXPECT_EQ(a.lang, 1029);
  EXPECT_EQ(a.watermarkWidth, 160);
  EXPECT_EQ(a.watermarkHeight, 60);
  EXPECT_EQ(a.fullName, "Alice A.");
  EXPECT_EQ(a.description, "one\ntwo\nthree\nfour\nfive");
  EXPECT_EQ(a.www, "http://alice.example/");
  ASSERT_EQ(a.variables.size(), 2u);
  EXPECT_EQ(a.variables.at("sortAlb1").value, "4");
  EXPECT_EQ(a.variables.at("own").value, "a<b");
  EXPECT_TRUE(a.hasPartners);
  ASSERT_EQ(a.partners.size(), 1u);
  EXPECT_EQ(a.partners[0].partnerID, 3);
  EXPECT_EQ(a.partners[0].name, "Lab");
  EXPECT_EQ(a.pageOrder, "viewCountDesc");
  EXPECT_EQ(a.canPublishOnFB, std::optional<bool>(true));
  EXPECT_EQ(a.defaultWatermark, std::optional<bool>(false));
}

TEST(SignInAnswer, AbsentElementsGiveZeroEmptyOrNoChange) {
  const SignInAnswer a =
      ParseSignInAnswer(Element("name", "bob") + Element("userID", "7") +
                        Element("defaultWatermark", "") + Element("canPublishOnFB", "yes"));
  EXPECT_EQ(a.name, "bob");
  EXPECT_EQ(a.lang, 0);  // no `lang`: the thread's locale will be used
  EXPECT_EQ(a.timeout, 0);
  EXPECT_EQ(a.quota, 0);
  EXPECT_TRUE(a.emailHistory.empty());
  EXPECT_TRUE(a.variables.empty());
  EXPECT_FALSE(a.hasPartners);
  EXPECT_EQ(a.defaultWatermark, std::nullopt);              // empty: keep the previous value
  EXPECT_EQ(a.canPublishOnFB, std::optional<bool>(false));  // not a number: 0
}

TEST(SignInAnswer, OutOfRangeNumbersAndGarbageDoNotBreakTheReading) {
  const SignInAnswer a = ParseSignInAnswer(
      Element("quota", "99999999999999") + Element("usedSize", "-99999999999999") +
      Element("userID", "12abc") + Element("lang", "<lang>1029</lang>") + "<name>unclosed");
  EXPECT_EQ(a.quota, 2147483647);
  EXPECT_EQ(a.usedSize, -2147483647 - 1);
  EXPECT_EQ(a.userId, 12);
  EXPECT_EQ(a.name, "");
  const SignInAnswer empty = ParseSignInAnswer("");
  EXPECT_EQ(empty.userId, 0);
  EXPECT_EQ(empty.name, "");
}

}  // namespace
}  // namespace zerva
