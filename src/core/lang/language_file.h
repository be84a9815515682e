// The ".lng" language file: one "key=value" line per text, "//" comments, and an end marker
// that tells a complete file from a truncated one.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <string_view>

namespace zerva {

// Key to text; std::less<> lets lookups use a string_view without a copy.
using TextMap = std::map<std::string, std::string, std::less<>>;

inline constexpr std::string_view kEndLangFileMarker = "<**EndLangFile**>";
// Real files are a few hundred KiB; anything far beyond that is not a language file.
inline constexpr int64_t kMaxLanguageFileBytes = 8 * 1024 * 1024;

// Fills `map` from a file's text (a later line wins over an earlier one with the same key) and
// returns the file's "versionID". Returns 0, leaving `map` untouched, when the text is larger
// than kMaxLanguageFileBytes or has no end marker after its first character; returns 0 after
// filling the map when the version is missing or below 1.
int ParseLanguageText(std::string_view text, TextMap& map);

// The value of `key` read as a decimal integer (leading blanks, sign, digits); 0 when the key
// is missing or its value does not start with a number.
int LanguageNumber(const TextMap& map, std::string_view key);

}  // namespace zerva
