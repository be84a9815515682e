// MD5 digests: password digests and video block checks.
#pragma once

#include <string>
#include <string_view>

namespace zerva {

// 32 lowercase hexadecimal digits of the MD5 of the bytes.
std::string Md5Hex(std::string_view bytes);
// Digest of a whole file; empty when it cannot be read.
std::string Md5HexOfFile(const std::string& path);

}  // namespace zerva
