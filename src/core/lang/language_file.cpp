#include "lang/language_file.h"

#include <limits>

namespace zerva {
namespace {

// One line without its line end: the comment cut off, then "key=value" split at the first "=".
void ParseLine(std::string_view line, TextMap& map) {
  if (const size_t comment = line.find("//"); comment != std::string_view::npos) {
    line = line.substr(0, comment);
  }
  const size_t equals = line.find('=');
  // No "=" or an empty key: not a text line.
  if (equals == std::string_view::npos || equals == 0) return;
  map.insert_or_assign(std::string(line.substr(0, equals)), std::string(line.substr(equals + 1)));
}

int ParseDecimal(std::string_view text) {
  size_t pos = 0;
  while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
  bool negative = false;
  if (pos < text.size() && (text[pos] == '-' || text[pos] == '+')) {
    negative = text[pos] == '-';
    ++pos;
  }
  // Accumulate in 64 bits and clamp, so that a long run of digits cannot overflow.
  int64_t value = 0;
  constexpr int64_t kLimit = static_cast<int64_t>(std::numeric_limits<int>::max()) + 1;
  for (; pos < text.size() && text[pos] >= '0' && text[pos] <= '9'; ++pos) {
    value = value * 10 + (text[pos] - '0');
    if (value > kLimit) value = kLimit;
  }
  if (negative) return static_cast<int>(-value);
  return static_cast<int>(value > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                                  : value);
}

}  // namespace

int ParseLanguageText(std::string_view text, TextMap& map) {
  if (static_cast<int64_t>(text.size()) > kMaxLanguageFileBytes) return 0;
  // The marker at the very start does not count: such a file holds no texts before it.
  if (text.find(kEndLangFileMarker, 1) == std::string_view::npos) return 0;

  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view line = text.substr(start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) ParseLine(line, map);
    start = end + 1;
  }
  const int version = LanguageNumber(map, "versionID");
  return version >= 1 ? version : 0;
}

int LanguageNumber(const TextMap& map, std::string_view key) {
  const auto it = map.find(key);
  return it == map.end() ? 0 : ParseDecimal(it->second);
}

}  // namespace zerva
