// The settings file is outside input: whatever it holds must parse without harm, and what the
// program writes back must read as the same settings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/settings_store.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const zerva::SettingsSections first = zerva::ParseSettingsText(text);
  const std::string written = zerva::SerializeSettings(first);
  if (zerva::ParseSettingsText(written) != first) std::abort();
  return 0;
}
