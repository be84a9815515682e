// The text of `zerva-cli --help`, and the manual page made from the same table.
#pragma once

#include <string>

#include "app/help_doc.h"

namespace zerva::cli {

HelpDoc CliHelp();
std::string HelpText();

}  // namespace zerva::cli
