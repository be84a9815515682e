// Numbers as picture containers store them, read from bytes the caller has checked are there:
// the box and chunk walks of HEIF, PNG and WebP share these instead of shifting by hand.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zerva {

// The big-endian number of `count` bytes (0 to 8) at `at`.
inline uint64_t BigEndian(std::string_view bytes, size_t at, size_t count) {
  uint64_t value = 0;
  for (size_t i = 0; i < count; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

inline uint32_t BigEndian16(std::string_view bytes, size_t at = 0) {
  return static_cast<uint32_t>(BigEndian(bytes, at, 2));
}

inline uint32_t BigEndian32(std::string_view bytes, size_t at = 0) {
  return static_cast<uint32_t>(BigEndian(bytes, at, 4));
}

inline uint32_t LittleEndian32(std::string_view bytes, size_t at = 0) {
  uint32_t value = 0;
  for (size_t i = 4; i-- > 0;) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
  return value;
}

}  // namespace zerva
