// The system's message for an error code, as the program shows it to users and in the log.
#pragma once

#include <string>

namespace zerva {

// "<code> - <text>" for `code` (errno), or for the last error when `code` is 0;
// "Unknown Windows Error" when the system has no text for it.
std::string WindowsErrorText(int code = 0);

}  // namespace zerva
