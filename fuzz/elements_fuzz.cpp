// Service answers and our own XML-like texts through the element reader.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "app/elements.h"
#include "net/api_result.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  // The first byte picks a short tag name, so nesting of one name gets explored.
  static const char* const kNames[] = {"value", "result", "a", "album", "photo", "errcode"};
  const char* name = kNames[size ? data[0] % 6 : 0];
  bool found = false;
  const std::string content = zerva::GetElement(text, name, &found);
  if (!found && !content.empty()) __builtin_trap();
  if (content.size() > text.size()) __builtin_trap();
  size_t total = 0;
  for (const std::string& item : zerva::GetElements(text, name)) total += item.size();
  if (total > text.size()) __builtin_trap();
  if (zerva::RemoveElement(text, name).size() > text.size()) __builtin_trap();
  zerva::ParseAnswer(text);
  zerva::GetElementInt(text, name);
  zerva::GetElementDouble(text, name, 0.0);
  return 0;
}
