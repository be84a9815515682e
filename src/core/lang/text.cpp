#include "lang/text.h"

namespace zerva {

CLocalization& Localization() {
  static CLocalization localization;
  return localization;
}

std::string Text(std::string_view key) {
  return Localization().Text(key);
}

}  // namespace zerva
