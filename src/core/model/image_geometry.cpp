#include "model/image_geometry.h"

#include <FreeImagePlus.h>

#include <algorithm>
#include <cstdint>

namespace zerva {
namespace {

int ScaleSide(int side, int newReference, int oldReference) {
  const int64_t scaled =
      (static_cast<int64_t>(side) * newReference + oldReference / 2) / oldReference;
  return static_cast<int>(std::max<int64_t>(scaled, 1));
}

}  // namespace

PixelSize FitToLongSide(int width, int height, int limit) {
  if (limit < 1 || width <= 0 || height <= 0 || std::max(width, height) <= limit) {
    return {width, height};
  }
  if (width >= height) return {limit, ScaleSide(height, limit, width)};
  return {ScaleSide(width, limit, height), limit};
}

PixelSize FitInsideBox(int width, int height, int maxWidth, int maxHeight) {
  if (width <= 0 || height <= 0 || maxWidth < 1 || maxHeight < 1) return {width, height};
  if (width <= maxWidth && height <= maxHeight) return {width, height};
  // Compare the ratios without division: width/height against maxWidth/maxHeight.
  if (static_cast<int64_t>(width) * maxHeight >= static_cast<int64_t>(height) * maxWidth) {
    return {maxWidth, ScaleSide(height, maxWidth, width)};
  }
  return {ScaleSide(width, maxHeight, height), maxHeight};
}

bool RotateByCode(fipImage& image, int code) {
  if (code < 0) return false;
  const int quarterTurns = code % 4;
  if (quarterTurns != 0 && !image.rotate(-90.0 * quarterTurns)) return false;
  if (code >= 4 && !image.flipHorizontal()) return false;
  return true;
}

bool RescaleIntoBox(fipImage& image, int maxWidth, int maxHeight) {
  const PixelSize size = FitInsideBox(static_cast<int>(image.getWidth()),
                                      static_cast<int>(image.getHeight()), maxWidth, maxHeight);
  if (size.width <= 0 || size.height <= 0) return false;
  if (size.width == static_cast<int>(image.getWidth()) &&
      size.height == static_cast<int>(image.getHeight())) {
    return true;
  }
  return image.rescale(static_cast<unsigned>(size.width), static_cast<unsigned>(size.height),
                       FILTER_LANCZOS3) != FALSE;
}

}  // namespace zerva
