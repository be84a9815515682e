#include "lang/languages.h"

namespace zerva {
namespace {

constexpr Language kLanguages[] = {
    {1029, "cs", "čeština"},     {1033, "en-us", "English"},  {1031, "de-de", "Deutsch"},
    {1040, "it-it", "italiano"}, {1045, "pl", "polszczyzna"}, {1051, "sk", "slovenčina"},
    {1058, "uk", "ukrainian"},
};

}  // namespace

std::span<const Language> Languages() {
  return kLanguages;
}

std::string LanguageFileName(int localeId) {
  for (const Language& language : kLanguages) {
    if (language.localeId == localeId) return std::string("zerva-") + language.code + ".lng";
  }
  return kDefaultLanguageFile;
}

}  // namespace zerva
