// The text of `zerva-cli --help`.
#pragma once

#include <string>

namespace zerva::cli {

std::string HelpText();

}  // namespace zerva::cli
