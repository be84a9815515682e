// The element reader and writer used for every XML-like text: service answers, album and
// photo XML, user variables, update descriptions. Exact, case-sensitive tags; nesting of the
// same name counted; no attributes and no entity decoding. Our own texts are built by plain
// concatenation, so values are never escaped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zerva {

// Content of the first <name> element, balanced against nested <name> elements. Empty when the
// opening tag is missing or never balanced; `found` tells a balanced empty element apart.
std::string GetElement(std::string_view text, std::string_view name, bool* found = nullptr);

// Content read as a decimal number (leading part); 0 when absent or not a number.
int64_t GetElementInt(std::string_view text, std::string_view name);
// Non-empty content: true when it reads as a non-zero number. Empty: the default.
bool GetElementFlag(std::string_view text, std::string_view name, bool defaultValue);
// Non-empty content: whether it equals `expected`. Empty: the default.
bool GetElementEquals(std::string_view text, std::string_view name, std::string_view expected,
                      bool defaultValue);
// Non-empty content read as a decimal real number; otherwise the default.
double GetElementDouble(std::string_view text, std::string_view name, double defaultValue);

// Contents of successive non-empty <name> elements, in order (at most 10000 examined).
std::vector<std::string> GetElements(std::string_view text, std::string_view name);

std::string MakeElement(std::string_view name, std::string_view value);
std::string MakeElement(std::string_view name, int64_t value);
// Keeps a string literal from choosing the integer overload.
inline std::string MakeElement(std::string_view name, const char* value) {
  return MakeElement(name, std::string_view(value));
}

// The text without its first <name>...</name> span (nesting not counted); unchanged when the
// first opening tag does not come before the first closing tag.
std::string RemoveElement(std::string_view text, std::string_view name);

}  // namespace zerva
