#include "model/exif_carrier.h"

#include <turbojpeg.h>

#include <mutex>

namespace zerva {
namespace {

constexpr std::string_view kExifHeader("Exif\0\0", 6);
// A section's length field counts itself and holds 16 bits.
constexpr size_t kMaxSectionBody = 0xFFFF - 2;

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
  if (block.substr(0, kExifHeader.size()) == kExifHeader) block.remove_prefix(kExifHeader.size());
  if (block.substr(0, 4) != std::string_view("II*\0", 4) &&
      block.substr(0, 4) != std::string_view("MM\0*", 4)) {
    return {};
  }
  const size_t body = kExifHeader.size() + block.size();
  const std::string& pixel = OnePixelJpeg();
  if (body > kMaxSectionBody || pixel.size() < 4) return {};
  std::string jpeg = pixel.substr(0, 2);  // start of image
  jpeg += '\xFF';
  jpeg += '\xE1';
  jpeg += static_cast<char>(((body + 2) >> 8) & 0xFF);
  jpeg += static_cast<char>((body + 2) & 0xFF);
  jpeg += kExifHeader;
  jpeg += block;
  jpeg.append(pixel, 2);
  return jpeg;
}

}  // namespace zerva
