// Arbitrary bytes through the picture loaders: as JPEG and as TIFF through the image library's
// memory loader, and as JPEG through the scaled decoder; whatever loads is then turned, fitted
// and encoded, as preparation would.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_prepare.h"
#include "media/image_load.h"
#include "media/jpeg_fit_load.h"
#include "media/standard_bitmap.h"

using namespace zerva;
using fuzz::kMaxPixels;
using fuzz::Prepare;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const int code = size > 0 ? data[size - 1] % 8 : 0;
  std::string error;
  Prepare(LoadImageMemory(bytes, kFormatJpeg, LoadFlagsFor(kFormatJpeg, LoadPurpose::kPrepare),
                          &error, kMaxPixels),
          code);
  Prepare(LoadImageMemory(bytes, kFormatTiff, LoadFlagsFor(kFormatTiff, LoadPurpose::kPrepare),
                          &error, kMaxPixels),
          code);
  PixelSize source;
  Bitmap fitted =
      LoadJpegForFit(bytes, 1 + static_cast<int>(size % 64), &source, &error, kMaxPixels);
  if (fitted != nullptr) {
    const PixelSize loaded = BitmapSize(fitted.get());
    if (!IsStandardBitmap(fitted.get()) || loaded.width > source.width ||
        loaded.height > source.height) {
      __builtin_trap();
    }
  }
  Prepare(std::move(fitted), code);
  return 0;
}
