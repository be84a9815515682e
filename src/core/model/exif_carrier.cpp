#include "model/exif_carrier.h"

#include <FreeImage.h>

namespace zerva {
namespace {

constexpr std::string_view kExifPrefix("Exif\0\0", 6);

// The smallest JPEG the image library writes, made once: its tables and frame are what the
// library's header reader needs around the EXIF section.
const std::string& PlainJpeg() {
  static const std::string jpeg = [] {
    std::string bytes;
    FIBITMAP* pixel = FreeImage_Allocate(1, 1, 24);
    FIMEMORY* memory = FreeImage_OpenMemory();
    if (pixel != nullptr && memory != nullptr &&
        FreeImage_SaveToMemory(FIF_JPEG, pixel, memory, JPEG_BASELINE)) {
      BYTE* data = nullptr;
      DWORD size = 0;
      if (FreeImage_AcquireMemory(memory, &data, &size)) {
        bytes.assign(reinterpret_cast<const char*>(data), size);
      }
    }
    if (memory != nullptr) FreeImage_CloseMemory(memory);
    if (pixel != nullptr) FreeImage_Unload(pixel);
    return bytes;
  }();
  return jpeg;
}

}  // namespace

bool TakeTiffBlock(std::string* payload) {
  if (payload->compare(0, kExifPrefix.size(), kExifPrefix) == 0) {
    payload->erase(0, kExifPrefix.size());
  }
  const std::string_view head = std::string_view(*payload).substr(0, 4);
  return head == std::string_view("II*\0", 4) || head == std::string_view("MM\0*", 4);
}

std::string JpegCarryingExif(std::string_view tiffBlock) {
  const std::string& plain = PlainJpeg();
  if (tiffBlock.size() > kMaxCarriedExifBytes || plain.size() < 2) return {};
  const size_t length = 2 + kExifPrefix.size() + tiffBlock.size();
  std::string jpeg;
  jpeg.reserve(plain.size() + 2 + length);
  jpeg.append(plain, 0, 2);  // SOI
  jpeg += '\xFF';
  jpeg += '\xE1';
  jpeg += static_cast<char>(length >> 8);
  jpeg += static_cast<char>(length & 0xFF);
  jpeg.append(kExifPrefix);
  jpeg.append(tiffBlock);
  jpeg.append(plain, 2, std::string::npos);
  return jpeg;
}

}  // namespace zerva
