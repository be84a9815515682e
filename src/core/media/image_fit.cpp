#include "media/image_fit.h"

#include <FreeImage.h>

#include "media/image_metadata.h"
#include "media/lanczos_resample.h"

namespace zerva {

Bitmap Rescaled(FIBITMAP* image, PixelSize size, ResampleFilter filter) {
  if (image == nullptr || size.width < 1 || size.height < 1) return {};
  // Reductions of standard bitmaps, the case that matters for speed, take the fast path.
  if (filter == ResampleFilter::kLanczos3) {
    if (Bitmap reduced = ReduceLanczos3(image, size)) return reduced;
  }
  return Bitmap(FreeImage_Rescale(image, size.width, size.height,
                                  filter == ResampleFilter::kBox ? FILTER_BOX : FILTER_LANCZOS3));
}

bool FitBitmap(Bitmap& image, int limit, ResampleFilter filter) {
  if (image == nullptr) return false;
  const PixelSize size = BitmapSize(image.get());
  const PixelSize fitted = FitToLongSide(size.width, size.height, limit);
  if (fitted == size) return true;
  Bitmap result = Rescaled(image.get(), fitted, filter);
  if (result == nullptr) return false;
  image = std::move(result);
  return true;
}

Bitmap MakeThumbnail(FIBITMAP* image, int sizeThumb) {
  if (image == nullptr) return {};
  const PixelSize size = BitmapSize(image);
  const PixelSize fitted = FitToLongSide(size.width, size.height, sizeThumb);
  Bitmap thumbnail =
      fitted == size ? CloneBitmap(image) : Rescaled(image, fitted, ResampleFilter::kBox);
  if (thumbnail != nullptr) ClearMetadata(thumbnail.get());
  return thumbnail;
}

}  // namespace zerva
