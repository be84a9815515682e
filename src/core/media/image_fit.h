// Fitting pictures into a long side: the aspect ratio is kept and nothing is ever enlarged.
#pragma once

#include "media/bitmap.h"

namespace zerva {

// Box for thumbnails (fast, soft), Lanczos-3 for the images people look at.
enum class ResampleFilter { kBox, kLanczos3 };

// A copy rescaled to exactly `size`, metadata included; empty when the library fails.
Bitmap Rescaled(FIBITMAP* image, PixelSize size, ResampleFilter filter);

// In place: a picture whose longer side exceeds `limit` is rescaled so that side equals `limit`
// (FitToLongSide); a picture that already fits is left alone. False, with the picture unchanged,
// when the library fails.
bool FitBitmap(Bitmap& image, int limit, ResampleFilter filter);

// The thumbnail of a picture: a copy without metadata and embedded thumbnail, fitted into
// `sizeThumb` with the box filter. Empty when the library fails.
Bitmap MakeThumbnail(FIBITMAP* image, int sizeThumb);

}  // namespace zerva
