// Sets the EXIF Orientation tag of a JPEG file to 1 (normal) in place, after the image
// preparation has turned the pixels, so that no viewer turns the picture a second time. The
// JPEG sections and the EXIF directories are walked here, bounded by the data actually present:
// lying offsets, directory loops and huge counts end the walk, and nothing outside the
// orientation value is ever written.
#pragma once

#include <string>

namespace zerva {

// Sections read before the EXIF section at most.
inline constexpr int kMaxJpegSections = 20;

// True when the walk succeeded: the tag was found (and set to 1 when it was above 1), or the
// file has no EXIF orientation. False when the file cannot be opened for reading and writing,
// is no JPEG, or the walk met an error; `lastError` then gets its text.
bool ResetOrientation(const std::string& path, std::string* lastError = nullptr);

}  // namespace zerva
