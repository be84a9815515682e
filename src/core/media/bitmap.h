// The owning handle of an image library bitmap. Functions that only read a picture take a plain
// FIBITMAP*, so a FreeImagePlus fipImage (which converts to one) can be passed as well; a handle
// hands its bitmap over to a fipImage with `image = bitmap.release()`.
#pragma once

#include <memory>

#include "model/image_geometry.h"

struct FIBITMAP;

namespace zerva {

struct BitmapDeleter {
  void operator()(FIBITMAP* bitmap) const;
};

using Bitmap = std::unique_ptr<FIBITMAP, BitmapDeleter>;

// A deep copy with metadata; empty for an empty input or when memory runs out.
Bitmap CloneBitmap(FIBITMAP* bitmap);
// Width and height in pixels; 0 x 0 for no bitmap.
PixelSize BitmapSize(FIBITMAP* bitmap);

// Gives `to` what a picture carries besides its pixels: every metadata model, the resolution,
// the colour profile and the embedded thumbnail of `from`. Used when pixels are made anew.
void CopyBitmapExtras(FIBITMAP* to, FIBITMAP* from);

}  // namespace zerva
