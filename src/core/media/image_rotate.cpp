#include "media/image_rotate.h"

#include <FreeImage.h>

namespace zerva {

bool RotateByCode(Bitmap& image, int code) {
  if (image == nullptr || code < 0 || code > kMaxRotationCode) return false;
  const int quarterTurns = code % 4;
  Bitmap turned;
  if (quarterTurns != 0) {
    // The library turns counter-clockwise for positive angles.
    turned.reset(FreeImage_Rotate(image.get(), -90.0 * quarterTurns));
    if (turned == nullptr) return false;
    CopyBitmapExtras(turned.get(), image.get());
  }
  // Flipping fails only for a bitmap without pixels, before anything is changed.
  if (code >= 4 && !FreeImage_FlipHorizontal(turned != nullptr ? turned.get() : image.get())) {
    return false;
  }
  if (turned != nullptr) image = std::move(turned);
  return true;
}

}  // namespace zerva
