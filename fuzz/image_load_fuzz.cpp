// Arbitrary bytes through the picture loaders: as JPEG and as TIFF through the image library's
// memory loader, and as JPEG through the scaled decoder; whatever loads is then turned, fitted
// and encoded, as preparation would.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "media/image_fit.h"
#include "media/image_load.h"
#include "media/image_rotate.h"
#include "media/image_save.h"
#include "media/jpeg_fit_load.h"
#include "media/standard_bitmap.h"

namespace {

using namespace zerva;

// Far below the fuzzer's memory limit, yet above every seed.
constexpr int64_t kMaxPixels = 4'000'000;

void Prepare(Bitmap image, int code) {
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

}  // namespace

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
