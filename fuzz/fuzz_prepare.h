// What the picture-loading targets do with whatever loads: check its size against the bound
// given to the loader, then make it standard, turn, fit and encode it as preparation would.
#pragma once

#include <cstdint>
#include <string>

#include "media/bitmap.h"
#include "media/image_fit.h"
#include "media/image_rotate.h"
#include "media/image_save.h"
#include "media/standard_bitmap.h"

namespace zerva::fuzz {

// Far below the fuzzer's memory limit, yet above every seed.
inline constexpr int64_t kMaxPixels = 4'000'000;

inline void Prepare(Bitmap image, int code) {
  if (image == nullptr) return;
  const PixelSize size = BitmapSize(image.get());
  if (size.width < 1 || size.height < 1 ||
      static_cast<int64_t>(size.width) * size.height > kMaxPixels) {
    __builtin_trap();
  }
  if (static_cast<int64_t>(size.width) * size.height > 65536) return;  // keep runs quick
  if (!MakeStandardBitmap(image)) return;
  RotateByCode(image, code);
  const Bitmap thumbnail = MakeThumbnail(image.get(), 16);
  std::string bytes;
  EncodeJpeg(thumbnail.get(), 50, &bytes);
}

}  // namespace zerva::fuzz
