#include "media/image_metadata.h"

#include <FreeImage.h>

namespace zerva {

void ClearMetadata(FIBITMAP* image) {
  if (image == nullptr) return;
  for (int model = FIMD_COMMENTS; model <= FIMD_EXIF_RAW; ++model) {
    FreeImage_SetMetadata(static_cast<FREE_IMAGE_MDMODEL>(model), image, nullptr, nullptr);
  }
  FreeImage_SetThumbnail(image, nullptr);
}

bool ReplaceEmbeddedThumbnail(FIBITMAP* image, FIBITMAP* thumbnail) {
  if (image == nullptr || thumbnail == nullptr) return false;
  return FreeImage_SetThumbnail(image, thumbnail) != FALSE;
}

}  // namespace zerva
