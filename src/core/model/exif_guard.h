// What the image library is given to read EXIF from. Its own EXIF parser trusts the offsets and
// counts it finds, so a hostile file could make it read far outside its data. The structure is
// therefore checked here first, with the bounded directory walk, and only sound EXIF data
// reaches the library.
#pragma once

#include <string>

namespace zerva {

// The sections of a JPEG file that the library reads without pixels, as a small JPEG: the
// frame and table sections, the first EXIF section when its structure is sound (its maker
// note hidden, whose vendor layouts cannot be checked), the scan header and the end marker.
// Comments and other application sections are left out. Empty when the file is no JPEG or
// cannot be read.
std::string SafeJpegHeader(const std::string& path);

// The EXIF section body after "Exif\0\0", checked in strict mode (no loops, every link, value
// and thumbnail inside the data). Maker notes, and a thumbnail that is no JPEG or claims a huge
// size, are renamed to an unknown tag. False when it is not sound; `error` gets the reason.
bool SanitizeExifBody(std::string* body, std::string* error);

// A file in TIFF layout (TIFF, and the camera RAW formats built on it) whose directories are
// sound. False for unsound ones and for files of any other layout.
bool TiffFileIsSound(const std::string& path);

}  // namespace zerva
