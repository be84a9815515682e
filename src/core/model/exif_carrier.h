// EXIF found outside a JPEG (a PNG's eXIf chunk, a WebP's EXIF chunk, a HEIF's Exif item) is the
// same TIFF-structured block that a JPEG's APP1 section holds. Wrapped into a tiny JPEG, it goes
// through the very reader, guard and tag walk that JPEG photos take.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zerva {

// An APP1 section holds at most 65535 bytes, its length field and "Exif\0\0" included.
inline constexpr size_t kMaxCarriedExifBytes = 65535 - 2 - 6;

// A container's EXIF payload made the bare TIFF-structured block: the "Exif\0\0" prefix that
// some writers put in front is dropped. False when no TIFF header ("II*\0" or "MM\0*") follows.
bool TakeTiffBlock(std::string* payload);

// A 1 x 1 JPEG whose APP1 section holds `tiffBlock`; empty when the block is larger than an
// APP1 section can hold. The block is carried as it is: check it first (SanitizeExifBody).
std::string JpegCarryingExif(std::string_view tiffBlock);

}  // namespace zerva
