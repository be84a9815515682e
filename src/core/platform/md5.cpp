#include "platform/md5.h"

#include <openssl/evp.h>

#include <cstdio>
#include <fstream>
#include <memory>

namespace zerva {
namespace {

using DigestContext = std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)>;

std::string ToHex(const unsigned char* digest, unsigned length) {
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(length * 2);
  for (unsigned i = 0; i < length; ++i) {
    out += kDigits[digest[i] >> 4];
    out += kDigits[digest[i] & 0x0f];
  }
  return out;
}

}  // namespace

std::string Md5Hex(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned length = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &length, EVP_md5(), nullptr) != 1) return {};
  return ToHex(digest, length);
}

std::string Md5HexOfFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  DigestContext context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) return {};
  char buffer[1 << 16];
  while (in) {
    in.read(buffer, sizeof buffer);
    const std::streamsize n = in.gcount();
    if (n > 0 && EVP_DigestUpdate(context.get(), buffer, static_cast<size_t>(n)) != 1) return {};
  }
  if (in.bad()) return {};
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return {};
  return ToHex(digest, length);
}

}  // namespace zerva
