#include "platform/md5.h"

#include <openssl/evp.h>

#include <cstdio>
#include <memory>

#include "platform/fs.h"

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
  const std::unique_ptr<std::FILE, decltype(&std::fclose)> file(OpenRegularStream(path, "rb"),
                                                                &std::fclose);
  if (!file) return {};
  DigestContext context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (!context || EVP_DigestInit_ex(context.get(), EVP_md5(), nullptr) != 1) return {};
  char buffer[1 << 16];
  size_t n = 0;
  while ((n = std::fread(buffer, 1, sizeof buffer, file.get())) > 0) {
    if (EVP_DigestUpdate(context.get(), buffer, n) != 1) return {};
  }
  if (std::ferror(file.get())) return {};
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest, &length) != 1) return {};
  return ToHex(digest, length);
}

}  // namespace zerva
