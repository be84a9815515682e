// What the service tells about the account when it accepts a sign-in (the value of the
// GetLogin answer), read into plain fields.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/user_variables.h"
#include "category/partners.h"

namespace zerva {

struct SignInAnswer {
  std::string name;     // the account's user name
  std::string setting;  // the user's settings text, holding "variablesA"
  std::string code;
  // Integers read as decimal, 0 when absent, held to the 32-bit range.
  int timeout = 0;
  int userId = 0;
  int quota = 0;
  int usedSize = 0;
  std::vector<std::string> emailHistory;  // `emailA` items of `emailHistory`
  int userType = 0;
  int lang = 0;  // 0: the service knows no language for the account
  int watermarkWidth = 0;
  int watermarkHeight = 0;
  std::string fullName;
  std::string description;  // "<br>" forms, CR LF and lone CR all made line feeds
  std::string www;
  UserVariables variables;   // from the "variablesA" element of `setting`
  bool hasPartners = false;  // the answer carried a `partners` element
  std::vector<Partner> partners;
  std::string pageOrder;  // `userPageOrder`
  // Flags: an absent or empty element leaves the session's value as it is.
  std::optional<bool> canPublishOnFB;
  std::optional<bool> defaultWatermark;
};

SignInAnswer ParseSignInAnswer(std::string_view value);

}  // namespace zerva
