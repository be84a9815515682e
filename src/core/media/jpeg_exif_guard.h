// The image library's EXIF reader trusts the offsets and counts it finds: a directory count
// larger than the data, or a thumbnail offset and length that wrap around in 32 bits, make it read
// far outside the data and crash the program. The pixel loaders therefore hand it JPEG bytes whose
// EXIF sections passed the model's structure check first (SanitizeExifBody): unsound sections are
// removed, maker notes and odd thumbnails hidden. The pixels do not depend on EXIF.
#pragma once

#include <string>
#include <string_view>

namespace zerva {

// True and `cleaned` = the JPEG with its EXIF sections made safe, when anything had to change;
// false (and `cleaned` untouched) when the bytes can go to the library as they are. The embedded
// thumbnail is decoded by the library as a JPEG of its own, EXIF included, so an EXIF section
// whose thumbnail is not safe as it is goes as a whole.
bool MakeJpegExifSafe(std::string_view jpeg, std::string* cleaned);

}  // namespace zerva
