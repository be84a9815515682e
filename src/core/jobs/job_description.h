// Job descriptions and other texts of the upload are language texts used as formats. A language
// file is outside input, so the values are put in by position and nothing else of the text is
// ever taken as a conversion. Unlike FillTextPlaceholders (app/text_placeholders.h) it also fills
// "%d", the conversion the texts of numbers use.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zerva {

// `format` with its successive "%s" and "%d" replaced by `values` (an empty text for each one
// beyond them) and "%%" by "%"; every other "%" stays as it is.
std::string FillJobText(std::string_view format, const std::vector<std::string>& values);

}  // namespace zerva
