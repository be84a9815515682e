#include "media/jpeg_fit_load.h"

#include <FreeImage.h>
#include <turbojpeg.h>

#include <algorithm>
#include <cstdint>

#include "media/image_messages.h"
#include "media/jpeg_exif_guard.h"
#include "media/jpeg_markers.h"
#include "media/standard_bitmap.h"
#include "platform/fs.h"

namespace zerva {
namespace {

class Decompressor {
 public:
  Decompressor() : handle_(tjInitDecompress()) {}
  ~Decompressor() {
    if (handle_ != nullptr) tjDestroy(handle_);
  }
  Decompressor(const Decompressor&) = delete;
  Decompressor& operator=(const Decompressor&) = delete;
  tjhandle get() const { return handle_; }

 private:
  tjhandle handle_;
};

// The header as the image library reads it, for the metadata to carry over.
Bitmap ReadHeader(std::string_view data, std::string* why) {
  FIMEMORY* memory = FreeImage_OpenMemory(reinterpret_cast<BYTE*>(const_cast<char*>(data.data())),
                                          static_cast<DWORD>(data.size()));
  if (memory == nullptr) return {};
  ImageMessageScope messages;
  Bitmap header(FreeImage_LoadFromMemory(FIF_JPEG, memory, FIF_LOAD_NOPIXELS));
  FreeImage_CloseMemory(memory);
  if (header == nullptr) *why = messages.Text().empty() ? "unreadable header" : messages.Text();
  return header;
}

// Colour spaces and subsamplings the fast decoder does not take go through the image library,
// which still scales by 1/2, 1/4 or 1/8 when asked for a size in the upper bits of its flags.
Bitmap LoadThroughLibrary(std::string_view data, int longSide, PixelSize* sourceSize,
                          std::string* error, int64_t maxPixels, const std::string& name) {
  int flags = JPEG_ACCURATE;
  const int64_t wanted = 2LL * longSide;
  if (longSide > 0 && wanted <= 0xFFFF) flags |= static_cast<int>(wanted << 16);
  Bitmap image = LoadImageMemory(data, kFormatJpeg, flags, error, maxPixels, name);
  if (image != nullptr && sourceSize != nullptr) {
    JpegFrame frame;
    *sourceSize = ReadJpegFrame(data, &frame) ? frame.size : BitmapSize(image.get());
  }
  if (image != nullptr && !MakeStandardBitmap(image)) {
    if (error != nullptr) *error = LoadError(name, "the picture cannot be made 24-bit colour");
    return {};
  }
  return image;
}

}  // namespace

JpegScale JpegScaleForFit(int width, int height, int longSide) {
  JpegScale best;
  const int64_t longest = std::max(width, height);
  if (longSide < 1 || longest < 1) return best;
  const int64_t needed = 2LL * longSide;
  int64_t bestSide = longest;
  int count = 0;
  const tjscalingfactor* factors = tjGetScalingFactors(&count);
  for (int i = 0; factors != nullptr && i < count; ++i) {
    const tjscalingfactor f = factors[i];
    if (f.num <= 0 || f.denom <= 0 || f.num >= f.denom) continue;  // reductions only
    const int64_t side = (longest * f.num + f.denom - 1) / f.denom;
    if (side >= needed && side < bestSide) {
      bestSide = side;
      best = {f.num, f.denom};
    }
  }
  return best;
}

PixelSize ScaledJpegSize(int width, int height, JpegScale scale) {
  if (scale.num <= 0 || scale.denom <= 0) return {width, height};
  auto scaled = [&](int side) {
    return static_cast<int>((static_cast<int64_t>(side) * scale.num + scale.denom - 1) /
                            scale.denom);
  };
  return {scaled(width), scaled(height)};
}

Bitmap LoadJpegForFit(std::string_view data, int longSide, PixelSize* sourceSize,
                      std::string* error, int64_t maxPixels, const std::string& name) {
  auto fail = [&](const std::string& reason) {
    if (error != nullptr) *error = LoadError(name, reason);
    return Bitmap();
  };
  if (data.empty()) return fail("no data");
  if (static_cast<int64_t>(data.size()) > kMaxImageFileBytes) return fail("the file is too large");
  // Four-channel pictures and frames the fast decoder does not take go through the library.
  JpegFrame frame;
  const Decompressor decompressor;
  int width = 0, height = 0, subsampling = 0, colorspace = 0;
  if (!ReadJpegFrame(data, &frame) || frame.components == 4 || decompressor.get() == nullptr ||
      tjDecompressHeader3(decompressor.get(), reinterpret_cast<const unsigned char*>(data.data()),
                          static_cast<unsigned long>(data.size()), &width, &height, &subsampling,
                          &colorspace) != 0 ||
      colorspace == TJCS_CMYK || colorspace == TJCS_YCCK || width != frame.size.width ||
      height != frame.size.height) {
    return LoadThroughLibrary(data, longSide, sourceSize, error, maxPixels, name);
  }
  // Progressive files keep every coefficient of the whole picture in memory whatever the scale,
  // so the bound applies to the picture's own size.
  const PixelSize size = frame.size;
  const std::string refused = CheckPixelBound(size, maxPixels);
  if (!refused.empty()) return fail(refused);
  std::string cleaned;
  if (MakeJpegExifSafe(data, &cleaned)) data = cleaned;
  std::string why;
  const Bitmap header = ReadHeader(data, &why);
  if (header == nullptr) return fail(why);
  if (sourceSize != nullptr) *sourceSize = size;

  const PixelSize scaled =
      ScaledJpegSize(size.width, size.height, JpegScaleForFit(size.width, size.height, longSide));
  Bitmap image(FreeImage_Allocate(scaled.width, scaled.height, 24, FI_RGBA_RED_MASK,
                                  FI_RGBA_GREEN_MASK, FI_RGBA_BLUE_MASK));
  if (image == nullptr) return fail("not enough memory for the picture");
#if FREEIMAGE_COLORORDER == FREEIMAGE_COLORORDER_BGR
  constexpr int kPixelFormat = TJPF_BGR;
#else
  constexpr int kPixelFormat = TJPF_RGB;
#endif
  // Bottom-up rows with the library's pitch: the decoder writes straight into the bitmap.
  // LIMITSCANS refuses progressive files with absurd scan counts, a known way to stall decoders.
  const int status =
      tjDecompress2(decompressor.get(), reinterpret_cast<const unsigned char*>(data.data()),
                    static_cast<unsigned long>(data.size()), FreeImage_GetBits(image.get()),
                    scaled.width, static_cast<int>(FreeImage_GetPitch(image.get())), scaled.height,
                    kPixelFormat, TJFLAG_BOTTOMUP | TJFLAG_ACCURATEDCT | TJFLAG_LIMITSCANS);
  if (status != 0) {
    const std::string text = tjGetErrorStr2(decompressor.get());
    if (tjGetErrorCode(decompressor.get()) != TJERR_WARNING) return fail(text);
    // Warnings about stray bytes leave a complete picture; running out of data does not.
    if (text.find(kJpegPrematureEnd) != std::string::npos) {
      return fail(kTruncatedPicture);
    }
  }
  CopyBitmapExtras(image.get(), header.get());
  return image;
}

Bitmap LoadForFit(const std::string& path, int longSide, PixelSize* sourceSize,
                  std::string* error) {
  const int format = ImageFormatOfFile(path);
  if (format != kFormatJpeg) {
    Bitmap image = LoadImageFile(path, LoadFlagsFor(format, LoadPurpose::kPrepare), error);
    if (image == nullptr) return image;
    if (sourceSize != nullptr) *sourceSize = BitmapSize(image.get());
    if (!MakeStandardBitmap(image)) {
      if (error != nullptr) *error = LoadError(path, "the picture cannot be made 24-bit colour");
      return {};
    }
    return image;
  }
  std::string data;
  if (!ReadFileBounded(path, kMaxImageFileBytes, &data)) {
    if (error != nullptr) *error = LoadError(path, "the file cannot be read or is too large");
    return {};
  }
  return LoadJpegForFit(data, longSide, sourceSize, error, kMaxImagePixels, path);
}

}  // namespace zerva
