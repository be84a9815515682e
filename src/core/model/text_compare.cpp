#include "model/text_compare.h"

#include <locale.h>
#include <wchar.h>
#include <wctype.h>

#include <cstdint>
#include <mutex>
#include <string>

namespace zerva {
namespace {

// The next code point of a UTF-8 text; a stray byte stands for itself.
wchar_t NextChar(std::string_view s, size_t* pos) {
  const auto c = static_cast<unsigned char>(s[*pos]);
  size_t length = 1;
  uint32_t cp = c;
  if (c >= 0xC0 && c < 0xE0) {
    length = 2;
    cp = c & 0x1F;
  } else if (c >= 0xE0 && c < 0xF0) {
    length = 3;
    cp = c & 0x0F;
  } else if (c >= 0xF0 && c < 0xF8) {
    length = 4;
    cp = c & 0x07;
  }
  if (length > 1 && *pos + length <= s.size()) {
    bool valid = true;
    for (size_t i = 1; i < length && valid; ++i) {
      const auto next = static_cast<unsigned char>(s[*pos + i]);
      valid = (next & 0xC0) == 0x80;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (valid) {
      *pos += length;
      return static_cast<wchar_t>(cp);
    }
  }
  ++*pos;
  return static_cast<wchar_t>(c);
}

locale_t UserLocale() {
  static std::once_flag once;
  static locale_t locale = nullptr;
  std::call_once(once, [] {
    locale = newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, "", nullptr);
    if (locale == nullptr) locale = newlocale(LC_COLLATE_MASK | LC_CTYPE_MASK, "C.UTF-8", nullptr);
  });
  return locale;
}

// Letter case follows Unicode whatever the user's language: under the plain "C" locale an
// accented capital would otherwise stay as it is.
locale_t CaseLocale() {
  static std::once_flag once;
  static locale_t locale = nullptr;
  std::call_once(once, [] {
    locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", nullptr);
    if (locale == nullptr) locale = UserLocale();
  });
  return locale;
}

std::wstring LowerWide(std::string_view s, locale_t locale) {
  std::wstring out;
  out.reserve(s.size());
  for (size_t pos = 0; pos < s.size();) {
    const wchar_t c = NextChar(s, &pos);
    // Embedded zeros would end the collated string early.
    if (c == 0) continue;
    out += locale ? static_cast<wchar_t>(towlower_l(static_cast<wint_t>(c), locale))
                  : static_cast<wchar_t>(towlower(static_cast<wint_t>(c)));
  }
  return out;
}

}  // namespace

int CompareNoCase(std::string_view a, std::string_view b) {
  const std::wstring la = LowerWide(a, CaseLocale());
  const std::wstring lb = LowerWide(b, CaseLocale());
  return la.compare(lb);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return CompareNoCase(a, b) == 0;
}

int CollateNoCase(std::string_view a, std::string_view b) {
  const locale_t locale = UserLocale();
  const std::wstring la = LowerWide(a, CaseLocale());
  const std::wstring lb = LowerWide(b, CaseLocale());
  if (locale == nullptr) return la.compare(lb);
  const int r = wcscoll_l(la.c_str(), lb.c_str(), locale);
  return r != 0 ? r : la.compare(lb);
}

}  // namespace zerva
