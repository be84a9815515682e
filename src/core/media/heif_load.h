// HEIF pictures decoded with libheif into the image library's bitmaps, so thumbnails, previews and
// preparation take them like any other picture.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "media/bitmap.h"
#include "media/image_load.h"
#include "model/heif_file.h"

namespace zerva {

// The primary picture (the first of a sequence) with the container's turns, mirrors and crop
// applied: 24-bit colour, or 32-bit with its transparency when it has one (MakeStandardBitmap lays
// it over white); 10- and 12-bit pictures come as 8 bits per channel. The picture's size is
// checked against `maxPixels` before anything is decoded. An embedded colour profile goes with
// the bitmap, and so does the EXIF data once its structure was found sound, its orientation set
// to normal when the container already turned the pixels. Empty on failure, with `error` =
// "LoadImage <name>: <reason>".
Bitmap LoadHeifFile(const std::string& path, std::string* error = nullptr,
                    int64_t maxPixels = kMaxImagePixels);
// The same from bytes in memory; `name` is what an error calls them.
Bitmap LoadHeifMemory(std::string_view data, std::string* error = nullptr,
                      int64_t maxPixels = kMaxImagePixels, const std::string& name = {});

// The size the primary picture decodes to, without decoding it.
bool ReadHeifSize(const std::string& path, PixelSize* size);

}  // namespace zerva
