// The EXIF payload of a picture container (a PNG's eXIf chunk, a WebP's EXIF chunk): the
// TIFF-structured block a JPEG's EXIF section holds, sometimes behind the section's "Exif\0\0".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zerva {

// The most a JPEG's EXIF section carries (JpegCarryingExif): its 16-bit length counts itself
// and the "Exif\0\0" too.
inline constexpr size_t kMaxExifPayloadBytes = 0xFFFF - 2 - 6;

// The payload made the bare TIFF-structured block: a leading "Exif\0\0" is dropped. False when no
// TIFF header ("II*\0" or "MM\0*") follows.
inline bool TakeTiffBlock(std::string* payload) {
  constexpr std::string_view kExifPrefix("Exif\0\0", 6);
  if (std::string_view(*payload).substr(0, kExifPrefix.size()) == kExifPrefix) {
    payload->erase(0, kExifPrefix.size());
  }
  const std::string_view head = std::string_view(*payload).substr(0, 4);
  return head == std::string_view("II*\0", 4) || head == std::string_view("MM\0*", 4);
}

}  // namespace zerva
