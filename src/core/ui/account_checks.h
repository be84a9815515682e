// The rules of the account-creation form: what each field may hold before the service is asked,
// the letters a password may use, and what the service's answer codes mean.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zerva {

inline constexpr size_t kMaxNickLength = 25;
inline constexpr size_t kMaxPasswordLength = 128;

enum class AccountField { kNick, kEmail, kPassword };

// Characters of a UTF-8 text (bytes that do not start a character are not counted).
size_t Utf8Length(std::string_view text);
// The text cut after `maxChars` such characters.
std::string Utf8Prefix(std::string_view text, size_t maxChars);

// Printable ASCII from blank to "~" and the 31 Czech letters and "§" the password may hold,
// compared as UTF-8.
bool IsAllowedPasswordText(std::string_view password);

// The local rules; an empty key means the field passes them.
std::string NickLocalError(std::string_view nick);
std::string EmailLocalError(std::string_view email);
std::string PasswordError(std::string_view password);

// The key for a CheckUserName / CheckUserMail answer code; empty for any other code.
std::string NickCheckError(long long code);
std::string EmailCheckError(long long code);

// What a CreateUser answer means: success, or an error key beside one field.
struct CreateUserOutcome {
  bool created = false;
  AccountField field = AccountField::kNick;
  std::string errorKey;
};
CreateUserOutcome InterpretCreateUser(long long code, long long userId);

}  // namespace zerva
