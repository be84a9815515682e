// Login names as the program keys them and the password digest that stands for the password.
#pragma once

#include <string>
#include <string_view>

namespace zerva {

// The login box text with tab, LF, CR and , . ; < > : ' " and blank trimmed from both ends;
// the account lock and the per-login profile section use this form.
std::string TrimLoginName(std::string_view text);

// MD5 of the password's bytes as 32 lowercase hex digits. The password itself is never stored
// or sent; `userPass` and the remembered password carry this digest.
std::string PasswordDigest(std::string_view password);
// Whether a stored text has the digest's form (32 lowercase hex digits).
bool IsPasswordDigest(std::string_view text);

}  // namespace zerva
