// Arbitrary bytes as a HEIF photo: recognised by content, decoded through libheif with its limits
// set and ours checked first, and whatever loads is made standard, turned, fitted and encoded as
// preparation would. The EXIF block found goes the EXIF reader's way: its structure check, then
// the image library's parser reading it from a carrier JPEG.
#include <FreeImage.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_prepare.h"
#include "media/heif_load.h"
#include "media/image_load.h"
#include "model/exif_carrier.h"
#include "model/exif_guard.h"
#include "model/heif_file.h"

namespace {

using namespace zerva;
using fuzz::kMaxPixels;
using fuzz::Prepare;

void ReadExif(std::string_view bytes) {
  HeifFile file;
  std::string error;
  if (!file.Open(bytes, &error)) return;
  std::string tiff = file.ExifBlock();
  if (tiff.empty() || !SanitizeExifBody(&tiff, &error)) return;
  std::string carrier = JpegCarryingExif(tiff);
  if (carrier.empty()) return;
  FIMEMORY* memory = FreeImage_OpenMemory(reinterpret_cast<BYTE*>(carrier.data()),
                                          static_cast<DWORD>(carrier.size()));
  if (memory == nullptr) return;
  Bitmap header(FreeImage_LoadFromMemory(FIF_JPEG, memory, FIF_LOAD_NOPIXELS));
  FreeImage_CloseMemory(memory);
  if (header == nullptr) return;
  FITAG* tag = nullptr;
  FIMETADATA* found = FreeImage_FindFirstMetadata(FIMD_EXIF_MAIN, header.get(), &tag);
  if (found != nullptr) {
    while (FreeImage_FindNextMetadata(found, &tag)) {
    }
    FreeImage_FindCloseMetadata(found);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const int code = size > 0 ? data[size - 1] % 8 : 0;
  LooksLikeHeif(bytes.substr(0, 256));
  std::string error;
  Bitmap image = LoadImageMemory(bytes, kFormatHeif, 0, &error, kMaxPixels);
  if (image == nullptr && error.rfind("LoadImage", 0) != 0) __builtin_trap();  // a named failure
  Prepare(std::move(image), code);
  ReadExif(bytes);
  return 0;
}
