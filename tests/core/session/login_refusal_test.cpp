// The message of a refused second sign-in and the placeholder filling behind it.
#include "session/login_refusal.h"

#include <gtest/gtest.h>

#include "app/profile.h"
#include "app/text_placeholders.h"
#include "lang/text.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

TEST(NoMultipleLoginMessage, NamesTheAccountRememberedForTheLoginName) {
  test::IsolatedHome home;
  ASSERT_TRUE(Localization().LoadLocal());
  const std::string format = Text("msgNoMultipleLogin");
  ASSERT_NE(format.find("%s"), std::string::npos);
  EXPECT_EQ(NoMultipleLoginMessage("alice@example.com"),
            FillTextPlaceholders(format, {"alice@example.com"}));
  AppProfile().WriteProfileString("alice@example.com", profile_keys::kLogin, "alice");
  EXPECT_EQ(NoMultipleLoginMessage("alice@example.com"), FillTextPlaceholders(format, {"alice"}));
}

}  // namespace
}  // namespace zerva
