// The message the login page shows when the account is already signed in by another running
// copy of the program.
#pragma once

#include <string>
#include <string_view>

namespace zerva {

// "msgNoMultipleLogin" with the account's user name as remembered for `loginName` (the
// profile entry "login" of the login name's section), or the login name itself when none is.
std::string NoMultipleLoginMessage(const std::string& loginName);

// `format` with its first "%s" replaced by `value` and every "%%" by "%"; other conversions
// stay as they are, so a language file cannot make this read arguments that are not there.
std::string FillTextPlaceholder(std::string_view format, std::string_view value);

}  // namespace zerva
