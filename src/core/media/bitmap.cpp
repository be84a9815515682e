#include "media/bitmap.h"

#include <FreeImage.h>

namespace zerva {

void BitmapDeleter::operator()(FIBITMAP* bitmap) const {
  if (bitmap != nullptr) FreeImage_Unload(bitmap);
}

Bitmap CloneBitmap(FIBITMAP* bitmap) {
  if (bitmap == nullptr) return {};
  return Bitmap(FreeImage_Clone(bitmap));
}

PixelSize BitmapSize(FIBITMAP* bitmap) {
  if (bitmap == nullptr) return {};
  return {static_cast<int>(FreeImage_GetWidth(bitmap)),
          static_cast<int>(FreeImage_GetHeight(bitmap))};
}

void CopyBitmapExtras(FIBITMAP* to, FIBITMAP* from) {
  if (to == nullptr || from == nullptr || to == from) return;
  FreeImage_CloneMetadata(to, from);  // also the resolution
  const FIICCPROFILE* profile = FreeImage_GetICCProfile(from);
  if (profile != nullptr && profile->data != nullptr && profile->size > 0) {
    FreeImage_CreateICCProfile(to, profile->data, profile->size);
  }
  if (FIBITMAP* thumbnail = FreeImage_GetThumbnail(from)) FreeImage_SetThumbnail(to, thumbnail);
}

}  // namespace zerva
