// Language files arrive from the service; whatever they hold, parsing must stay bounded and
// the version must agree with the marker rule.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "lang/language_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  zerva::TextMap map;
  const int version = zerva::ParseLanguageText(text, map);
  if (version < 0) std::abort();
  if (version > 0 && text.find(zerva::kEndLangFileMarker, 1) == std::string_view::npos) {
    std::abort();
  }
  for (const auto& [key, value] : map) {
    // Keys are never empty and never hold a line end or "=".
    if (key.empty() || key.find_first_of("=\n") != std::string::npos) std::abort();
    if (value.find('\n') != std::string::npos) std::abort();
  }
  return 0;
}
