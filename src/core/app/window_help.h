// The usage text of the window program `zerva`, made from its command-line parser's own table.
#pragma once

#include <optional>
#include <string>

#include "app/help_doc.h"

namespace zerva {

HelpDoc WindowHelp();

// The text that --help, -h or --version asks for; nothing when the window is to start. Answered
// before any window exists, so it works without a display.
std::optional<std::string> StandaloneAnswer(int argc, const char* const* argv);

}  // namespace zerva
