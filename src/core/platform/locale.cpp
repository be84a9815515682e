#include "platform/locale.h"

#include <cstdlib>
#include <cstring>

namespace zerva {
namespace {

struct LocaleEntry {
  const char* language;  // ISO 639-1
  int id;
  const char* posixName;
};

// The languages the program ships texts for, plus French, which it does not.
constexpr LocaleEntry kLocales[] = {
    {"cs", 1029, "cs_CZ.UTF-8"}, {"en", 1033, "en_US.UTF-8"}, {"de", 1031, "de_DE.UTF-8"},
    {"it", 1040, "it_IT.UTF-8"}, {"pl", 1045, "pl_PL.UTF-8"}, {"sk", 1051, "sk_SK.UTF-8"},
    {"uk", 1058, "uk_UA.UTF-8"}, {"fr", 1036, "fr_FR.UTF-8"},
};

}  // namespace

int LocaleIdFromName(const std::string& posixName) {
  if (posixName.size() < 2) return 0;
  const std::string language = posixName.substr(0, posixName.find_first_of("_.@"));
  for (const auto& entry : kLocales) {
    if (language == entry.language) return entry.id;
  }
  return 0;
}

std::string LocaleNameOf(int localeId) {
  for (const auto& entry : kLocales) {
    if (entry.id == localeId) return entry.posixName;
  }
  return {};
}

int ThreadLocaleId() {
  for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') continue;
    if (std::strcmp(value, "C") == 0 || std::strcmp(value, "POSIX") == 0 ||
        std::strncmp(value, "C.", 2) == 0) {
      return 1033;
    }
    const int id = LocaleIdFromName(value);
    return id != 0 ? id : 1033;
  }
  return 1033;
}

}  // namespace zerva
