#include "net/proxy_text.h"

#include <cstdio>

namespace zerva {
namespace {

// Twelve letters and the terminating zero that the scrambling walks backwards over.
constexpr char kScrambleKey[] = "zervakalimto";
static_assert(sizeof kScrambleKey == 13);

char KeyFor(size_t index) {
  return kScrambleKey[12 - (index % 12)];
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::string ScrambleCredentials(std::string_view credentials) {
  static const char kHex[] = "0123456789abcdef";
  if (credentials.size() > kMaxCredentialBytes)
    credentials = credentials.substr(0, kMaxCredentialBytes);
  std::string out;
  out.reserve(credentials.size() * 2);
  for (size_t i = 0; i < credentials.size(); ++i) {
    const auto byte = static_cast<unsigned char>(credentials[i] ^ KeyFor(i));
    out += kHex[byte >> 4];
    out += kHex[byte & 0x0f];
  }
  return out;
}

std::string UnscrambleCredentials(std::string_view scrambled) {
  std::string out;
  for (size_t i = 0; i + 1 < scrambled.size(); i += 2) {
    const int hi = HexDigit(scrambled[i]);
    const int lo = HexDigit(scrambled[i + 1]);
    if (hi < 0 || lo < 0) break;
    out += static_cast<char>((hi * 16 + lo) ^ KeyFor(out.size()));
  }
  return out;
}

std::optional<uint32_t> DetectProxyAuthScheme(std::string_view proxyAuthenticate) {
  std::string lower(proxyAuthenticate);
  for (char& c : lower) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  if (lower.find("basic") != std::string::npos) return kProxyAuthBasic;
  if (lower.find("ntlm") != std::string::npos) return kProxyAuthNtlm;
  if (lower.find("digest") != std::string::npos) return kProxyAuthDigest;
  return std::nullopt;
}

std::string HttpProxyEntry(std::string_view proxyList) {
  const size_t start = proxyList.find("http=");
  if (start == std::string_view::npos) return std::string(proxyList);
  std::string_view entry = proxyList.substr(start + 5);
  size_t end = entry.find(';');
  if (end == std::string_view::npos) end = entry.find(' ');
  if (end != std::string_view::npos) entry = entry.substr(0, end);
  return std::string(entry);
}

std::string MaskCredentials(std::string_view credentials) {
  const size_t colon = credentials.find(':');
  if (colon == std::string_view::npos || colon < 1 || colon > 254) return std::string(credentials);
  return std::string(credentials.substr(0, colon + 1)) + "*****";
}

}  // namespace zerva
