#include "media/watermark.h"

#include <FreeImage.h>

#include <algorithm>

#include "media/image_load.h"
#include "media/image_save.h"
#include "media/standard_bitmap.h"

namespace zerva {
namespace {

// `part` x its size, copied from the bottom-right corner of `image` (library rectangles count
// from the top-left corner).
Bitmap CopyBottomRight(FIBITMAP* image, PixelSize part) {
  const PixelSize size = BitmapSize(image);
  return Bitmap(FreeImage_Copy(image, size.width - part.width, size.height - part.height,
                               size.width, size.height));
}

}  // namespace

bool WatermarkImage(Bitmap& image, FIBITMAP* templ, Bitmap* patchOut) {
  if (patchOut != nullptr) patchOut->reset();
  if (templ == nullptr) return true;
  if (image == nullptr) return false;
  Bitmap standard;
  FIBITMAP* target = image.get();
  if (!IsStandardBitmap(target)) {
    standard = CloneBitmap(target);
    if (standard == nullptr || !MakeStandardBitmap(standard)) return false;
    target = standard.get();
  }
  const PixelSize imageSize = BitmapSize(target);
  const PixelSize templSize = BitmapSize(templ);
  const PixelSize covered = {std::min(imageSize.width, templSize.width),
                             std::min(imageSize.height, templSize.height)};
  if (covered.width < 1 || covered.height < 1) return false;

  // Every template becomes 32 bits, opaque unless it carries transparency, so one composition
  // serves all of them.
  Bitmap overlay(FreeImage_ConvertTo32Bits(templ));
  if (overlay == nullptr) return false;
  if (covered != templSize) overlay = CopyBottomRight(overlay.get(), covered);
  Bitmap beneath = CopyBottomRight(target, covered);
  if (overlay == nullptr || beneath == nullptr) return false;
  const Bitmap composed(FreeImage_Composite(overlay.get(), FALSE, nullptr, beneath.get()));
  if (composed == nullptr ||
      !FreeImage_Paste(target, composed.get(), imageSize.width - covered.width,
                       imageSize.height - covered.height, 256)) {
    return false;
  }
  if (standard != nullptr) image = std::move(standard);
  if (patchOut != nullptr) *patchOut = std::move(beneath);
  return true;
}

bool WatermarkFile(const std::string& path, int loadFlags, int quality,
                   const std::string& patchPath, FIBITMAP* templ, std::string* error) {
  if (templ == nullptr) return true;
  Bitmap image = LoadImageFile(path, loadFlags, error);
  if (image == nullptr) return false;
  Bitmap patch;
  if (!WatermarkImage(image, templ, &patch) || patch == nullptr) {
    if (error != nullptr) *error = "WatermarkFile " + path + ": the watermark cannot be drawn";
    return false;
  }
  return SaveJpeg(patch.get(), patchPath, quality, error) &&
         SaveJpeg(image.get(), path, quality, error);
}

bool RemoveWatermark(FIBITMAP* image, FIBITMAP* patch) {
  if (image == nullptr || patch == nullptr || !FreeImage_HasPixels(image)) return false;
  const PixelSize imageSize = BitmapSize(image);
  const PixelSize patchSize = BitmapSize(patch);
  if (patchSize.width < 1 || patchSize.height < 1 || patchSize.width > imageSize.width ||
      patchSize.height > imageSize.height) {
    return false;
  }
  // The library pastes only between bitmaps of one depth.
  Bitmap converted;
  if (FreeImage_GetBPP(patch) != FreeImage_GetBPP(image)) {
    switch (FreeImage_GetBPP(image)) {
      case 24:
        converted.reset(FreeImage_ConvertTo24Bits(patch));
        break;
      case 32:
        converted.reset(FreeImage_ConvertTo32Bits(patch));
        break;
      case 8:
        converted.reset(FreeImage_ConvertToGreyscale(patch));
        break;
      default:
        return false;
    }
    if (converted == nullptr) return false;
    patch = converted.get();
  }
  return FreeImage_Paste(image, patch, imageSize.width - patchSize.width,
                         imageSize.height - patchSize.height, 256) != FALSE;
}

}  // namespace zerva
