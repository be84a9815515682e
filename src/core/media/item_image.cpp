#include "media/item_image.h"

#include <FreeImagePlus.h>

namespace zerva {

ImagePtr ToItemImage(Bitmap bitmap) {
  if (bitmap == nullptr) return nullptr;
  auto image = std::make_shared<fipImage>();
  *image = bitmap.release();
  return image;
}

FIBITMAP* ItemBitmap(const ImagePtr& image) {
  if (image == nullptr || !image->isValid()) return nullptr;
  return static_cast<FIBITMAP*>(*image);
}

Bitmap CopyOfItemImage(const ImagePtr& image) {
  return CloneBitmap(ItemBitmap(image));
}

}  // namespace zerva
