// A Lanczos-3 reduction of 24-bit pictures, several times faster than the image library's
// general resampler (which computes in double precision, one pixel at a time). Fitting a decoded
// camera picture into the album resolution spends most of its time here.
#pragma once

#include "media/bitmap.h"

namespace zerva {

// A copy of a standard 24-bit bitmap reduced to `size` (neither side larger than the picture's),
// metadata included. Empty for other bitmaps, enlargements or when memory runs out.
Bitmap ReduceLanczos3(FIBITMAP* image, PixelSize size);

}  // namespace zerva
