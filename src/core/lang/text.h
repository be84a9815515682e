// The one language table of the process and the lookup every caller uses. Lookups are written
// with a literal key, so that a test can check each key against the shipped language files.
#pragma once

#include <string>
#include <string_view>

#include "lang/localization.h"

namespace zerva {

CLocalization& Localization();

// The active text of `key`; "?" + key + "?" when there is none. Safe from any thread.
std::string Text(std::string_view key);

}  // namespace zerva
