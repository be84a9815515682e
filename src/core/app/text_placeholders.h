// Filling language texts that are used as formats.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zerva {

// `format` with its successive "%s" replaced by `values` (an empty text for each one beyond
// them) and every "%%" by "%". Other conversions stay as they are, so a language file cannot
// make this read arguments that are not there.
std::string FillTextPlaceholders(std::string_view format, const std::vector<std::string>& values);

}  // namespace zerva
