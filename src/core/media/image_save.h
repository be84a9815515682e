// Writing JPEG files. A file is written whole or not at all: the bytes go to a temporary file in
// the same folder that is then renamed over the target, so no reader ever sees half a file.
#pragma once

#include <string>

struct FIBITMAP;

namespace zerva {

// Quality 1 (smallest) to 100 (best); other values are clamped. Pictures other than 24-bit colour
// or 8-bit grey are written from a standard 24-bit copy. Metadata goes into the file. False on
// failure, with `error` = "SaveJpeg <path>: <reason>"; the previous file is then untouched.
bool SaveJpeg(FIBITMAP* image, const std::string& path, int quality, std::string* error = nullptr);

// The JPEG bytes of a picture, for callers that send them without a file.
bool EncodeJpeg(FIBITMAP* image, int quality, std::string* out);

}  // namespace zerva
