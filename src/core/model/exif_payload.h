// EXIF data as picture containers hold it (a PNG's eXIf chunk, a WebP's EXIF chunk, a HEIF's Exif
// item): the TIFF-structured block a JPEG's EXIF section holds, sometimes behind the section's
// "Exif\0\0".
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace zerva {

// What a JPEG's EXIF section holds before the TIFF structure.
inline constexpr std::string_view kExifPrefix("Exif\0\0", 6);

// The most a JPEG's EXIF section carries (JpegCarryingExif): its 16-bit length counts itself
// and the "Exif\0\0" too.
inline constexpr size_t kMaxExifPayloadBytes = 0xFFFF - 2 - kExifPrefix.size();

// A TIFF header, Intel or Motorola order, begins `bytes`.
inline bool StartsWithTiffHeader(std::string_view bytes) {
  const std::string_view head = bytes.substr(0, 4);
  return head == std::string_view("II*\0", 4) || head == std::string_view("MM\0*", 4);
}

// The payload made the bare TIFF-structured block: a leading "Exif\0\0" is dropped. False when no
// TIFF header follows.
inline bool TakeTiffBlock(std::string* payload) {
  if (std::string_view(*payload).substr(0, kExifPrefix.size()) == kExifPrefix) {
    payload->erase(0, kExifPrefix.size());
  }
  return StartsWithTiffHeader(*payload);
}

// A container walk's end without a block, `reason` saying why.
inline std::optional<std::string> NoExifBlock(std::string* error, const char* reason) {
  if (error != nullptr) *error = reason;
  return std::nullopt;
}

}  // namespace zerva
