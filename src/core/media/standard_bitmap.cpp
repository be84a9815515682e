#include "media/standard_bitmap.h"

#include <FreeImage.h>

namespace zerva {
namespace {

// Transparent pixels often carry black or random colour; white is what a viewer shows.
Bitmap OverWhite(FIBITMAP* image) {
  RGBQUAD white = {255, 255, 255, 0};
  return Bitmap(FreeImage_Composite(image, FALSE, &white, nullptr));
}

Bitmap To24Bits(FIBITMAP* image) {
  const unsigned bpp = FreeImage_GetBPP(image);
  if ((bpp == 32 || bpp == 8) && FreeImage_IsTransparent(image)) {
    if (Bitmap composed = OverWhite(image)) return composed;
  }
  return Bitmap(FreeImage_ConvertTo24Bits(image));
}

}  // namespace

bool IsStandardBitmap(FIBITMAP* image) {
  return image != nullptr && FreeImage_HasPixels(image) &&
         FreeImage_GetImageType(image) == FIT_BITMAP && FreeImage_GetBPP(image) == 24;
}

bool MakeStandardBitmap(Bitmap& image) {
  if (image == nullptr || !FreeImage_HasPixels(image.get())) return false;
  if (IsStandardBitmap(image.get())) return true;
  Bitmap standard;
  if (FreeImage_GetImageType(image.get()) != FIT_BITMAP) {
    standard.reset(FreeImage_ConvertToStandardType(image.get(), TRUE));
    // Colour types the conversion does not know (RGB floats) go straight to 24 bits.
    if (standard == nullptr) standard.reset(FreeImage_ConvertTo24Bits(image.get()));
    if (standard != nullptr && !IsStandardBitmap(standard.get())) {
      standard = To24Bits(standard.get());
    }
  } else {
    standard = To24Bits(image.get());
  }
  if (!IsStandardBitmap(standard.get())) return false;
  CopyBitmapExtras(standard.get(), image.get());
  image = std::move(standard);
  return true;
}

}  // namespace zerva
