// The message of a refused second sign-in and the placeholder filling behind it.
#include "session/login_refusal.h"

#include <gtest/gtest.h>

#include "app/profile.h"
#include "lang/text.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

TEST(FillTextPlaceholder, FillsTheFirstTextPlaceholderOnly) {
  EXPECT_EQ(FillTextPlaceholder("The account %s is busy.", "alice"), "The account alice is busy.");
  EXPECT_EQ(FillTextPlaceholder("%s and %s", "a"), "a and %s");
  EXPECT_EQ(FillTextPlaceholder("100%% of %s", "b"), "100% of b");
  // Conversions a translated text should not have stay inert.
  EXPECT_EQ(FillTextPlaceholder("%d %n %s %", "c"), "%d %n c %");
  // The value is never read as a format itself.
  EXPECT_EQ(FillTextPlaceholder("[%s]", "%s%n%%"), "[%s%n%%]");
  EXPECT_EQ(FillTextPlaceholder("no placeholder", "x"), "no placeholder");
  EXPECT_EQ(FillTextPlaceholder("", "x"), "");
}

TEST(NoMultipleLoginMessage, NamesTheAccountRememberedForTheLoginName) {
  test::IsolatedHome home;
  ASSERT_TRUE(Localization().LoadLocal());
  const std::string format = Text("msgNoMultipleLogin");
  ASSERT_NE(format.find("%s"), std::string::npos);
  EXPECT_EQ(NoMultipleLoginMessage("alice@example.com"),
            FillTextPlaceholder(format, "alice@example.com"));
  AppProfile().WriteProfileString("alice@example.com", profile_keys::kLogin, "alice");
  EXPECT_EQ(NoMultipleLoginMessage("alice@example.com"), FillTextPlaceholder(format, "alice"));
}

}  // namespace
}  // namespace zerva
