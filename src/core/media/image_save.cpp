#include "media/image_save.h"

#include <FreeImage.h>

#include <algorithm>

#include "media/bitmap.h"
#include "media/image_messages.h"
#include "media/standard_bitmap.h"
#include "platform/fs.h"

namespace zerva {
namespace {

bool Writable(FIBITMAP* image) {
  if (FreeImage_GetImageType(image) != FIT_BITMAP) return false;
  const unsigned bpp = FreeImage_GetBPP(image);
  return bpp == 24 || (bpp == 8 && FreeImage_GetColorType(image) == FIC_MINISBLACK);
}

class MemoryStream {
 public:
  MemoryStream() : memory_(FreeImage_OpenMemory()) {}
  ~MemoryStream() {
    if (memory_ != nullptr) FreeImage_CloseMemory(memory_);
  }
  MemoryStream(const MemoryStream&) = delete;
  MemoryStream& operator=(const MemoryStream&) = delete;
  FIMEMORY* get() const { return memory_; }

 private:
  FIMEMORY* memory_;
};

bool Encode(FIBITMAP* image, int quality, std::string* out, std::string* why) {
  if (image == nullptr || !FreeImage_HasPixels(image)) {
    *why = "no picture";
    return false;
  }
  Bitmap standard;
  if (!Writable(image)) {
    standard = CloneBitmap(image);
    if (standard == nullptr || !MakeStandardBitmap(standard)) {
      *why = "the picture cannot be made 24-bit colour";
      return false;
    }
    image = standard.get();
  }
  const MemoryStream stream;
  ImageMessageScope messages;
  BYTE* bytes = nullptr;
  DWORD size = 0;
  if (stream.get() == nullptr ||
      !FreeImage_SaveToMemory(FIF_JPEG, image, stream.get(), std::clamp(quality, 1, 100)) ||
      !FreeImage_AcquireMemory(stream.get(), &bytes, &size) || bytes == nullptr || size == 0) {
    *why = messages.Text().empty() ? "the image library cannot encode it" : messages.Text();
    return false;
  }
  out->assign(reinterpret_cast<const char*>(bytes), size);
  return true;
}

}  // namespace

bool EncodeJpeg(FIBITMAP* image, int quality, std::string* out) {
  std::string why;
  return out != nullptr && Encode(image, quality, out, &why);
}

bool SaveJpeg(FIBITMAP* image, const std::string& path, int quality, std::string* error) {
  std::string data, why;
  if (!Encode(image, quality, &data, &why)) {
    if (error != nullptr) *error = "SaveJpeg " + path + ": " + why;
    return false;
  }
  if (!WriteFileAtomic(path, data)) {
    if (error != nullptr) *error = "SaveJpeg " + path + ": the file cannot be written";
    return false;
  }
  return true;
}

}  // namespace zerva
