#include "app/credentials.h"

#include "app/text_utils.h"
#include "platform/md5.h"

namespace zerva {

std::string TrimLoginName(std::string_view text) {
  // The blank and the line breaks come from pasting; the punctuation from copying an address.
  static constexpr std::string_view kTrimmed = "\t\n\r,.;<>:'\" ";
  return TrimChars(text, kTrimmed);
}

std::string PasswordDigest(std::string_view password) {
  const std::string digest = Md5Hex(password);
  // The failure text travels in place of the digest, so the sign-in fails at the service.
  return digest.empty() ? "Error hashing data" : digest;
}

bool IsPasswordDigest(std::string_view text) {
  if (text.size() != 32) return false;
  for (const char c : text) {
    if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
  }
  return true;
}

}  // namespace zerva
