// Comparing names without regard to letter case, accented capitals included, whatever the
// locale the program runs under.
#include "model/text_compare.h"

#include <gtest/gtest.h>

namespace zerva {
namespace {

TEST(TextCompare, AccentedCapitalsMatchTheirSmallLettersEvenUnderThePlainLocale) {
  EXPECT_TRUE(EqualsNoCase("\xC4\x8C\xC3\x81P", "\xC4\x8D\xC3\xA1p"));  // "ČÁP" and "čáp"
  EXPECT_TRUE(EqualsNoCase("\xC5\xBDluva", "\xC5\xBELUVA"));            // "Žluva", "žLUVA"
  EXPECT_FALSE(EqualsNoCase("\xC4\x8C", "C"));                          // "Č" is not "C"
  EXPECT_LT(CompareNoCase("apple", "Berry"), 0);
  EXPECT_GT(CompareNoCase("Cherry", "berry"), 0);
  EXPECT_EQ(CompareNoCase("MiXeD", "mixed"), 0);
}

}  // namespace
}  // namespace zerva
