// EXIF data found in other containers (HEIF, PNG, WebP) reaches the EXIF reader the way a JPEG's
// does: as the EXIF section of a tiny JPEG, so one reader and one structure check serve them all.
#pragma once

#include <string>
#include <string_view>

namespace zerva {

// A one-pixel JPEG whose EXIF section holds `block`: the TIFF structure ("II*\0" or "MM\0*"
// first), with or without the "Exif\0\0" that precedes it in a JPEG. Empty when the block is no
// TIFF structure or does not fit one EXIF section. The block is not checked here; the reader
// checks every EXIF section it is given.
std::string JpegCarryingExif(std::string_view block);

}  // namespace zerva
