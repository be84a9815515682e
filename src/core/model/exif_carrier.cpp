#include "model/exif_carrier.h"

#include <turbojpeg.h>

#include <mutex>

#include "model/exif_payload.h"

namespace zerva {
namespace {

// A one-pixel grey JPEG, encoded once; empty when the encoder is missing.
const std::string& OnePixelJpeg() {
  static std::string jpeg;
  static std::once_flag once;
  std::call_once(once, [] {
    tjhandle encoder = tjInitCompress();
    if (encoder == nullptr) return;
    unsigned char pixel = 128;
    unsigned char* out = nullptr;
    unsigned long size = 0;
    if (tjCompress2(encoder, &pixel, 1, 1, 1, TJPF_GRAY, &out, &size, TJSAMP_GRAY, 90, 0) == 0 &&
        out != nullptr) {
      jpeg.assign(reinterpret_cast<const char*>(out), size);
    }
    tjFree(out);
    tjDestroy(encoder);
  });
  return jpeg;
}

}  // namespace

std::string JpegCarryingExif(std::string_view block) {
  if (block.substr(0, kExifPrefix.size()) == kExifPrefix) block.remove_prefix(kExifPrefix.size());
  if (!StartsWithTiffHeader(block) || block.size() > kMaxExifPayloadBytes) return {};
  const std::string& pixel = OnePixelJpeg();
  if (pixel.size() < 4) return {};
  // The section's length field counts itself.
  const size_t length = 2 + kExifPrefix.size() + block.size();
  std::string jpeg = pixel.substr(0, 2);  // start of image
  jpeg += '\xFF';
  jpeg += '\xE1';
  jpeg += static_cast<char>((length >> 8) & 0xFF);
  jpeg += static_cast<char>(length & 0xFF);
  jpeg += kExifPrefix;
  jpeg += block;
  jpeg.append(pixel, 2);
  return jpeg;
}

}  // namespace zerva
