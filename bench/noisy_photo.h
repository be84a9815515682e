// Camera-like test photos for the preparation benchmarks: smooth colour fields under per-pixel
// noise. The noise is what makes camera files large and slow to decode.
#pragma once

#include <FreeImage.h>

#include <cmath>
#include <cstdint>
#include <string>

#include "media/bitmap.h"

namespace zerva::bench {

// A `width` x `height` JPEG at `path`, the same for the same seed; `amplitude` is the noise's
// largest step either way.
inline bool SaveNoisyPhoto(const std::string& path, int width, int height, unsigned seed,
                           int amplitude, int quality) {
  Bitmap image(FreeImage_Allocate(width, height, 24));
  if (image == nullptr) return false;
  uint64_t state = 0x9E3779B97F4A7C15ull * (seed + 1);
  for (int y = 0; y < height; ++y) {
    BYTE* line = FreeImage_GetScanLine(image.get(), y);
    for (int x = 0; x < width; ++x) {
      const double base[3] = {128 + 100 * std::sin(x * 0.002 + seed),
                              128 + 100 * std::cos(y * 0.003 + seed * 0.5),
                              128 + 80 * std::sin((x + y) * 0.001)};
      for (int c = 0; c < 3; ++c) {
        state ^= state << 13, state ^= state >> 7, state ^= state << 17;
        const int noise = static_cast<int>((state >> 32) % (2 * amplitude + 1)) - amplitude;
        const int value = static_cast<int>(base[c]) + noise;
        line[3 * x + c] = static_cast<BYTE>(value < 0 ? 0 : value > 255 ? 255 : value);
      }
    }
  }
  return FreeImage_Save(FIF_JPEG, image.get(), path.c_str(), quality) != FALSE;
}

}  // namespace zerva::bench
