// Comparing names the way the user reads them: ignoring letter case (also of accented letters),
// and for listings in the order of the user's locale.
#pragma once

#include <string_view>

namespace zerva {

// <0, 0, >0 like strcmp on the lower-cased characters of two UTF-8 texts.
int CompareNoCase(std::string_view a, std::string_view b);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Collation of the user's locale (LC_COLLATE of the environment) on lower-cased texts; plain
// character order when the locale is not available.
int CollateNoCase(std::string_view a, std::string_view b);

}  // namespace zerva
