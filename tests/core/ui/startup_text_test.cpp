// The texts start-up builds: language formats filled safely and the connection failure box.
#include <gtest/gtest.h>

#include "lang/text.h"
#include "net/endpoints.h"
#include "ui/startup_steps.h"
#include "app/text_placeholders.h"

namespace zerva {
namespace {

TEST(FillTextPlaceholders, FillsInOrderAndNeverReadsMissingArguments) {
  EXPECT_EQ(FillTextPlaceholders("%s: %s", {"a", "b"}), "a: b");
  EXPECT_EQ(FillTextPlaceholders("100%% of %s", {"x"}), "100% of x");
  // A "%%s" is a percent sign followed by "s", not a placeholder.
  EXPECT_EQ(FillTextPlaceholders("%%s %s", {"x"}), "%s x");
  // Missing values give empty texts; other conversions stay as written.
  EXPECT_EQ(FillTextPlaceholders("%s %s %d %n", {"only"}), "only  %d %n");
  EXPECT_EQ(FillTextPlaceholders("ends with %", {}), "ends with %");
  // A value holding "%s" is not filled again.
  EXPECT_EQ(FillTextPlaceholders("%s and %s", {"%s", "y"}), "%s and y");
}

TEST(ConnectionFailureText, NamesTheUploadHostTheErrorAndTheVersion) {
  ASSERT_TRUE(Localization().LoadLocal());
  SetDomain(HostRoot::kUpload, "api.example.test:8080");
  ConnectionTestResult test;
  test.description = "GetUrlToString: Couldn't connect to server";
  test.rawAnswer = "raw";
  EXPECT_EQ(ConnectionFailureText(test, false, false, "ignored"),
            "The server api.example.test:8080 cannot be reached.\n"
            "Error: GetUrlToString: Couldn't connect to server\n\n"
            "Program zerva kalimtor, ver. 1.59.52.267");
  auto endsWith = [](const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() &&
           text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
  };
  EXPECT_TRUE(
      endsWith(ConnectionFailureText(test, true, false, "window"), "1.59.52.267\n\n*****\n\nraw"));
  EXPECT_TRUE(endsWith(ConnectionFailureText(test, true, true, "window"),
                       "1.59.52.267\n\n*****\n\nraw\n\n*****\n\nwindow"));
  ResetDomainsToDefaults();
}

}  // namespace
}  // namespace zerva
