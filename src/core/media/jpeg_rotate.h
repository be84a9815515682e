// Turning a JPEG file without decoding it: the compressed blocks are rearranged, so the picture
// loses nothing. Edge blocks that do not fill a whole unit cannot be turned and stay where they
// are, a thin strip at the right or bottom edge; that is accepted.
#pragma once

#include <string>

namespace zerva {

// 0 does nothing and succeeds; 90, 180 and 270 turn the file clockwise in place, markers (EXIF and
// the rest) kept. Any other value, or a file that is not a complete JPEG, fails with `error` =
// "RotateJpegFile <path>: <reason>" and leaves the file as it was: the result is written to a
// temporary file that replaces the original only when complete.
bool RotateJpegFile(const std::string& path, int degrees, std::string* error = nullptr);

}  // namespace zerva
