// Texts of the proxy settings: the scrambled form of stored credentials, the authentication
// scheme named by a proxy, and the HTTP entry of a per-protocol proxy list.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace zerva {

// libcurl's CURLAUTH bits as the settings store them.
inline constexpr uint32_t kProxyAuthBasic = 1;
inline constexpr uint32_t kProxyAuthDigest = 2;
inline constexpr uint32_t kProxyAuthNtlm = 8;
inline constexpr uint32_t kProxyAuthDefaultMask = 0xFFFFFFEF;
inline constexpr size_t kMaxCredentialBytes = 255;

// Each byte XORed with the key and written as two lowercase hex digits. Credentials longer than
// 255 bytes are cut there, the longest form the settings define.
std::string ScrambleCredentials(std::string_view credentials);
// The reverse; stops at the first pair that is not hexadecimal.
std::string UnscrambleCredentials(std::string_view scrambled);

// "basic" wins over "ntlm", which wins over "digest"; nothing for any other header.
std::optional<uint32_t> DetectProxyAuthScheme(std::string_view proxyAuthenticate);

// From a list such as "http=proxy:3128;https=other:443", the text after "http=" up to ";" (or a
// blank); a list without "http=" unchanged.
std::string HttpProxyEntry(std::string_view proxyList);

// "user:*****" for credentials with a ":" at position 1 to 254; others unchanged.
std::string MaskCredentials(std::string_view credentials);

}  // namespace zerva
