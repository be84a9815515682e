// The message the login page shows when the account is already signed in by another running
// copy of the program.
#pragma once

#include <string>

namespace zerva {

// "msgNoMultipleLogin" with the account's user name as remembered for `loginName` (the
// profile entry "login" of the login name's section), or the login name itself when none is.
std::string NoMultipleLoginMessage(const std::string& loginName);

}  // namespace zerva
