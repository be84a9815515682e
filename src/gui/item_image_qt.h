// Pictures the model holds in memory (FreeImagePlus images: thumbnails, EXIF thumbnails) as Qt
// images for drawing.
#pragma once

#include <QImage>

class fipImage;

namespace zerva::gui {

// A copy of `image` in Qt's form; a null image when it holds none or cannot be converted.
// 24- and 32-bit bitmaps are copied directly, others (8-bit palette or grey, 16-bit) converted
// to 24 bits first.
QImage ImageToQt(const fipImage& image);

}  // namespace zerva::gui
