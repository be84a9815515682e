#include "gui/item_image_qt.h"

#include <FreeImagePlus.h>

namespace zerva::gui {

QImage ImageToQt(const fipImage& source) {
  if (!source.isValid()) return {};
  const fipImage* image = &source;
  fipImage converted;
  const unsigned bits = source.getBitsPerPixel();
  if (source.getImageType() != FIT_BITMAP || (bits != 24 && bits != 32)) {
    converted = source;
    if (!converted.convertTo24Bits()) return {};
    image = &converted;
  }
  const int width = static_cast<int>(image->getWidth());
  const int height = static_cast<int>(image->getHeight());
  const bool alpha = image->getBitsPerPixel() == 32;
  const int step = alpha ? 4 : 3;
  QImage out(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
  if (out.isNull()) return {};
  for (int y = 0; y < height; ++y) {
    // FreeImage keeps the bottom line first.
    const BYTE* line = image->getScanLine(static_cast<unsigned>(height - 1 - y));
    auto* target = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < width; ++x) {
      const BYTE* pixel = line + x * step;
      target[x] = qRgba(pixel[FI_RGBA_RED], pixel[FI_RGBA_GREEN], pixel[FI_RGBA_BLUE],
                        alpha ? pixel[FI_RGBA_ALPHA] : 255);
    }
  }
  return out;
}

}  // namespace zerva::gui
