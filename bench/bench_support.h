// Pieces the benchmark programs share: reproducible incompressible bytes and hand-built
// multipart parts in the client's wire format.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace zerva::bench {

// `n` bytes of xorshift noise: the same for the same seed, and not compressible.
inline std::string NoiseBytes(size_t n, uint32_t seed) {
  std::string s(n, '\0');
  uint32_t x = 2463534242u ^ seed;
  for (char& c : s) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    c = static_cast<char>(x);
  }
  return s;
}

// One part of a multipart body with `boundary`; a file part when `fileName` is not empty.
inline std::string MultipartPart(const std::string& boundary, const std::string& name,
                                 const std::string& value, const std::string& fileName = "") {
  std::string p = "--" + boundary + "\r\nContent-Disposition: form-data; name=\"" + name + "\"";
  if (!fileName.empty()) {
    p += "; filename=\"" + fileName + "\"\r\nContent-Type: application/octet-stream";
  }
  return p + "\r\n\r\n" + value + "\r\n";
}

}  // namespace zerva::bench
