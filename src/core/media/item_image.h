// The images an album item holds are FreeImagePlus images shared between the item and the thread
// that made them; preparation works on owned bitmaps. These move pictures between the two.
#pragma once

#include "media/bitmap.h"
#include "model/image_ptr.h"

namespace zerva {

// The bitmap becomes the image's content; null for an empty bitmap.
ImagePtr ToItemImage(Bitmap bitmap);
// A deep copy of an item image, so it can be encoded outside the item's lock; empty for none.
Bitmap CopyOfItemImage(const ImagePtr& image);
// The image's own bitmap, for functions that only read it; null for none.
FIBITMAP* ItemBitmap(const ImagePtr& image);

}  // namespace zerva
