// Preparation works on one kind of picture: the standard 24-bit colour bitmap that JPEG files
// are written from.
#pragma once

#include "media/bitmap.h"

namespace zerva {

// Converts any other picture in place: 16-bit and floating-point pixel types are scaled to 8 bits
// per channel, palettes and grey levels expanded, transparency laid over white. Metadata, colour
// profile and embedded thumbnail stay. False (image unchanged) when the library cannot convert it
// or the bitmap has no pixels.
bool MakeStandardBitmap(Bitmap& image);

bool IsStandardBitmap(FIBITMAP* image);

}  // namespace zerva
