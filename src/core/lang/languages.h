// The languages the program ships texts for, keyed by Windows locale identifier, the form the
// service and the language files use.
#pragma once

#include <span>
#include <string>

namespace zerva {

struct Language {
  int localeId;
  const char* code;  // names the file "zerva-" + code + ".lng"
  const char* name;  // the language's own name, UTF-8
};

inline constexpr int kDefaultLocaleId = 1033;
inline constexpr const char* kDefaultLanguageFile = "zerva-en-us.lng";

// The fixed list, in the order the settings page offers it.
std::span<const Language> Languages();

// "zerva-" + code + ".lng"; an identifier that is not in the list names the English file.
std::string LanguageFileName(int localeId);

}  // namespace zerva
