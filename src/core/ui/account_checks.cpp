#include "ui/account_checks.h"

#include <algorithm>
#include <array>

namespace zerva {
namespace {

// The Windows-1250 letters 0212 0215 0216 0232 0235 0236 0247 0301 0310 0311 0314 0315 0317
// 0322 0323 0330 0331 0332 0335 0341 0350 0351 0354 0355 0357 0362 0363 0370 0371 0372 0375,
// as Unicode code points.
constexpr std::array<char32_t, 31> kPasswordLetters = {
    0x160, 0x164, 0x17D, 0x161, 0x165, 0x17E, 0xA7,  0xC1, 0x10C, 0xC9,  0x11A,
    0xCD,  0x10E, 0x147, 0xD3,  0x158, 0x16E, 0xDA,  0xDD, 0xE1,  0x10D, 0xE9,
    0x11B, 0xED,  0x10F, 0x148, 0xF3,  0x159, 0x16F, 0xFA, 0xFD,
};

// The next code point of `text` from `pos`, advancing `pos`; 0xFFFFFFFF for a malformed
// sequence (which no allowed letter matches).
char32_t NextCodePoint(std::string_view text, size_t* pos) {
  const auto lead = static_cast<unsigned char>(text[*pos]);
  size_t length = 1;
  char32_t value = lead;
  if (lead >= 0xC0 && lead < 0xE0) {
    length = 2;
    value = lead & 0x1F;
  } else if (lead >= 0xE0 && lead < 0xF0) {
    length = 3;
    value = lead & 0x0F;
  } else if (lead >= 0xF0 && lead < 0xF8) {
    length = 4;
    value = lead & 0x07;
  } else if (lead >= 0x80) {
    ++*pos;
    return 0xFFFFFFFF;
  }
  if (*pos + length > text.size()) {
    *pos = text.size();
    return 0xFFFFFFFF;
  }
  for (size_t i = 1; i < length; ++i) {
    const auto next = static_cast<unsigned char>(text[*pos + i]);
    if ((next & 0xC0) != 0x80) {
      *pos += i;
      return 0xFFFFFFFF;
    }
    value = (value << 6) | (next & 0x3F);
  }
  *pos += length;
  return value;
}

}  // namespace

namespace {

bool StartsCharacter(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

}  // namespace

size_t Utf8Length(std::string_view text) {
  return static_cast<size_t>(std::count_if(text.begin(), text.end(), StartsCharacter));
}

std::string Utf8Prefix(std::string_view text, size_t maxChars) {
  size_t chars = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (StartsCharacter(text[i]) && ++chars > maxChars) return std::string(text.substr(0, i));
  }
  return std::string(text);
}

bool IsAllowedPasswordText(std::string_view password) {
  size_t pos = 0;
  while (pos < password.size()) {
    const char32_t c = NextCodePoint(password, &pos);
    if (c >= 0x20 && c <= 0x7E) continue;
    if (std::find(kPasswordLetters.begin(), kPasswordLetters.end(), c) == kPasswordLetters.end()) {
      return false;
    }
  }
  return true;
}

std::string NickLocalError(std::string_view nick) {
  if (nick.empty()) return "btnNickEmpty";
  if (Utf8Length(nick) > kMaxNickLength) return "btnNickFormat2";
  return {};
}

std::string EmailLocalError(std::string_view email) {
  if (email.empty()) return "btnEmailEmpty";
  if (email.find('@') == std::string_view::npos) return "btnEmailFormat";
  return {};
}

std::string PasswordError(std::string_view password) {
  if (password.empty()) return "btnPasswdEmpty";
  if (!IsAllowedPasswordText(password)) return "btnPasswdFormat";
  if (Utf8Length(password) > kMaxPasswordLength) return "btnPasswdFormat2";
  return {};
}

std::string NickCheckError(long long code) {
  if (code == 1) return "btnNickFormat";
  if (code == 2) return "btnNickUsed";
  return {};
}

std::string EmailCheckError(long long code) {
  if (code == 1) return "btnEmailFormat";
  if (code == 2) return "btnEmailUsed";
  return {};
}

CreateUserOutcome InterpretCreateUser(long long code, long long userId) {
  switch (code) {
    case 0:
      // An account without an identifier was not made, whatever the code says.
      if (userId >= 1) return {true, AccountField::kNick, {}};
      break;
    case 1:
      return {false, AccountField::kNick, "btnNickEmpty"};
    case 4:
      return {false, AccountField::kNick, "btnNickFormat"};
    case 6:
      return {false, AccountField::kNick, "btnNickUsed"};
    case 2:
      return {false, AccountField::kEmail, "btnEmailEmpty"};
    case 5:
      return {false, AccountField::kEmail, "btnEmailFormat"};
    case 7:
      return {false, AccountField::kEmail, "btnEmailUsed"};
    case 3:
      return {false, AccountField::kPassword, "btnPasswdEmpty"};
    case 9:
      return {false, AccountField::kPassword, "btnPasswdFormat"};
    default:
      break;
  }
  return {false, AccountField::kNick, "msgCreateAccountFailed"};
}

}  // namespace zerva
