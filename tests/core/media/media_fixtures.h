// Pictures for the media tests, drawn on the spot with the image library.
#pragma once

#include <FreeImage.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "media/bitmap.h"

namespace zerva::test {

struct Rgb {
  int r = 0, g = 0, b = 0;
  bool operator==(const Rgb&) const = default;
};

// Pixel (x, y) counted from the top-left corner, as people read pictures.
inline Rgb PixelAt(FIBITMAP* image, int x, int y) {
  RGBQUAD q{};
  FreeImage_GetPixelColor(image, x, FreeImage_GetHeight(image) - 1 - y, &q);
  return {q.rgbRed, q.rgbGreen, q.rgbBlue};
}

inline void SetPixel(FIBITMAP* image, int x, int y, Rgb c) {
  RGBQUAD q{static_cast<BYTE>(c.b), static_cast<BYTE>(c.g), static_cast<BYTE>(c.r), 255};
  FreeImage_SetPixelColor(image, x, FreeImage_GetHeight(image) - 1 - y, &q);
}

// Every pixel a different colour, so any turn or mirror shows.
inline Rgb DistinctColor(int x, int y) {
  return {x * 40 + 10, y * 40 + 10, (x * 7 + y * 13) % 250};
}

inline Bitmap DistinctPicture(int width, int height, int bpp = 24) {
  Bitmap image(FreeImage_Allocate(width, height, bpp, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                  FI_RGBA_BLUE_MASK));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) SetPixel(image.get(), x, y, DistinctColor(x, y));
  }
  return image;
}

// Smooth colour ramps with some noise: what encoders see in photos.
inline Bitmap PhotoLike(int width, int height, unsigned seed = 1) {
  Bitmap image(FreeImage_Allocate(width, height, 24, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                  FI_RGBA_BLUE_MASK));
  uint32_t state = seed * 2654435761u + 1;
  for (int y = 0; y < height; ++y) {
    BYTE* line = FreeImage_GetScanLine(image.get(), y);
    for (int x = 0; x < width * 3; ++x) {
      state = state * 1664525u + 1013904223u;
      const int ramp = (x / 3 * 200) / width + (y * 50) / height;
      line[x] = static_cast<BYTE>(std::min(255, ramp + static_cast<int>(state >> 29)));
    }
  }
  return image;
}

inline std::string SavedJpeg(FIBITMAP* image, const std::string& path, int quality = 90) {
  return FreeImage_Save(FIF_JPEG, image, path.c_str(), quality) ? path : std::string();
}

inline int MaxChannelDifference(Rgb a, Rgb b) {
  return std::max({std::abs(a.r - b.r), std::abs(a.g - b.g), std::abs(a.b - b.b)});
}

// The largest channel difference over two pictures of one size; 999 when the sizes differ.
inline int MaxDifference(FIBITMAP* a, FIBITMAP* b) {
  if (BitmapSize(a) != BitmapSize(b)) return 999;
  int worst = 0;
  const PixelSize size = BitmapSize(a);
  for (int y = 0; y < size.height; ++y) {
    for (int x = 0; x < size.width; ++x) {
      worst = std::max(worst, MaxChannelDifference(PixelAt(a, x, y), PixelAt(b, x, y)));
    }
  }
  return worst;
}

}  // namespace zerva::test
