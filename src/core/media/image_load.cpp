#include "media/image_load.h"

#include <FreeImage.h>

#include "media/heif_load.h"
#include "media/image_messages.h"
#include "media/jpeg_exif_guard.h"
#include "media/jpeg_markers.h"
#include "model/heif_brand.h"
#include "model/image_file_reader.h"
#include "model/photo.h"
#include "platform/fs.h"

namespace zerva {
namespace {

static_assert(kFormatJpeg == FIF_JPEG && kFormatTiff == FIF_TIFF && kFormatRaw == FIF_RAW &&
              kFormatPng == FIF_PNG && kFormatWebp == FIF_WEBP && kFormatUnknown == FIF_UNKNOWN);
// The items keep the same codes (model/photo.h), which may not include this floor.
static_assert(kFormatHeif == kImageFormatHeif && kFormatPng == kImageFormatPng &&
              kFormatWebp == kImageFormatWebp);

// The frame header follows the application segments, a few of at most 64 KiB each.
constexpr size_t kJpegHeadBytes = 1 << 20;

// Where the bytes come from: a file by name or a memory stream the library reads through.
class ImageSource {
 public:
  explicit ImageSource(const std::string& path) : path_(&path), name_(path) {}
  ImageSource(std::string_view data, const std::string& name)
      : name_(name),
        memory_(FreeImage_OpenMemory(reinterpret_cast<BYTE*>(const_cast<char*>(data.data())),
                                     static_cast<DWORD>(data.size()))) {}
  ~ImageSource() {
    if (memory_ != nullptr) FreeImage_CloseMemory(memory_);
  }
  ImageSource(const ImageSource&) = delete;
  ImageSource& operator=(const ImageSource&) = delete;

  FIBITMAP* Load(FREE_IMAGE_FORMAT format, int flags) const {
    if (path_ != nullptr) return ImageFileReader(*path_).Load(format, flags);
    if (memory_ == nullptr) return nullptr;
    FreeImage_SeekMemory(memory_, 0, SEEK_SET);
    return FreeImage_LoadFromMemory(format, memory_, flags);
  }

  const std::string& Name() const { return name_; }

 private:
  const std::string* path_ = nullptr;
  const std::string& name_;
  FIMEMORY* memory_ = nullptr;
};

Bitmap Fail(const ImageSource& source, const std::string& reason, std::string* error) {
  if (error != nullptr) *error = LoadError(source.Name(), reason);
  return {};
}

int FormatOfMemory(std::string_view data) {
  if (LooksLikeHeif(data.substr(0, kIsoHeadBytes))) return kFormatHeif;
  FIMEMORY* memory = FreeImage_OpenMemory(reinterpret_cast<BYTE*>(const_cast<char*>(data.data())),
                                          static_cast<DWORD>(data.size()));
  if (memory == nullptr) return kFormatUnknown;
  const FREE_IMAGE_FORMAT format = FreeImage_GetFileTypeFromMemory(memory, 0);
  FreeImage_CloseMemory(memory);
  return format != FIF_UNKNOWN && FreeImage_FIFSupportsReading(format) ? format : kFormatUnknown;
}

Bitmap LoadFrom(const ImageSource& source, FREE_IMAGE_FORMAT fif, int flags, std::string* error,
                int64_t maxPixels) {
  if (fif == FIF_UNKNOWN) return Fail(source, "not a picture format that can be read", error);
  if (FreeImage_FIFSupportsNoPixels(fif)) {
    // The header first, so that a file claiming a gigantic picture is refused before its pixels
    // are allocated.
    ImageMessageScope messages;
    const Bitmap header(source.Load(fif, FIF_LOAD_NOPIXELS));
    if (header == nullptr) {
      return Fail(source, messages.Text().empty() ? "unreadable header" : messages.Text(), error);
    }
    const std::string refused = CheckPixelBound(BitmapSize(header.get()), maxPixels);
    if (!refused.empty()) return Fail(source, refused, error);
  }
  ImageMessageScope messages;
  Bitmap image(source.Load(fif, flags & ~FIF_LOAD_NOPIXELS));
  if (image == nullptr || !FreeImage_HasPixels(image.get())) {
    return Fail(source,
                messages.Text().empty() ? "the image library cannot read it" : messages.Text(),
                error);
  }
  if (messages.Truncated()) return Fail(source, kTruncatedPicture, error);
  return image;
}

}  // namespace

std::string LoadError(const std::string& name, const std::string& reason) {
  return (name.empty() ? std::string("LoadImage: ") : "LoadImage " + name + ": ") + reason;
}

std::string CheckPixelBound(PixelSize size, int64_t maxPixels) {
  if (size.width <= 0 || size.height <= 0) return "the picture has no pixels";
  if (static_cast<int64_t>(size.width) * size.height <= maxPixels) return {};
  return "the picture is too large (" + std::to_string(size.width) + " x " +
         std::to_string(size.height) + ")";
}

int ImageFormatOfFile(const std::string& path) {
  ImageFileReader reader(path);
  if (!reader.IsOpen()) return kFormatUnknown;
  if (LooksLikeHeif(reader.Head(kIsoHeadBytes))) return kFormatHeif;
  FREE_IMAGE_FORMAT format = reader.Format();
  if (format == FIF_UNKNOWN) format = FreeImage_GetFIFFromFilename(path.c_str());
  if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format)) return kFormatUnknown;
  return format;
}

int LoadFlagsFor(int format, LoadPurpose purpose) {
  if (format == kFormatHeif) return 0;
  if (purpose == LoadPurpose::kPreview) return format == kFormatRaw ? RAW_PREVIEW : 0;
  if (format == kFormatRaw) return RAW_DISPLAY;
  if (format == kFormatTiff) return TIFF_DEFAULT;
  if (format == kFormatPng) return PNG_DEFAULT;
  if (format == kFormatWebp) return WEBP_DEFAULT;
  return JPEG_ACCURATE;
}

Bitmap LoadImageFile(const std::string& path, int flags, std::string* error, int64_t maxPixels) {
  const ImageSource source(path);
  if (!FileExists(path)) return Fail(source, "no such file", error);
  const int format = ImageFormatOfFile(path);
  if (format == kFormatHeif) return LoadHeifFile(path, error, maxPixels);
  if (format != kFormatJpeg) {
    return LoadFrom(source, static_cast<FREE_IMAGE_FORMAT>(format), flags, error, maxPixels);
  }
  // JPEG files are checked in memory before the library reads them.
  std::string data;
  if (!ReadFileBounded(path, kMaxImageFileBytes, &data)) {
    return Fail(source, "the file cannot be read or is too large", error);
  }
  return LoadImageMemory(data, kFormatJpeg, flags, error, maxPixels, path);
}

Bitmap LoadImageFile(const std::string& path, LoadPurpose purpose, std::string* error) {
  return LoadImageFile(path, LoadFlagsFor(ImageFormatOfFile(path), purpose), error);
}

Bitmap LoadImageMemory(std::string_view data, int format, int flags, std::string* error,
                       int64_t maxPixels, const std::string& name) {
  auto fail = [&](const std::string& reason) {
    if (error != nullptr) *error = LoadError(name, reason);
    return Bitmap();
  };
  if (data.empty()) return fail("no data");
  if (static_cast<int64_t>(data.size()) > kMaxImageFileBytes) return fail("the file is too large");
  if (format == kFormatUnknown) format = FormatOfMemory(data);
  if (format == kFormatHeif) return LoadHeifMemory(data, error, maxPixels, name);
  std::string cleaned;
  if (format == kFormatJpeg) {
    // The library allocates the decoder's buffers while it reads the header, so the size is
    // checked first; and EXIF its reader would crash on is removed.
    JpegFrame frame;
    if (ReadJpegFrame(data, &frame)) {
      const std::string refused = CheckPixelBound(frame.size, maxPixels);
      if (!refused.empty()) return fail(refused);
    }
    if (MakeJpegExifSafe(data, &cleaned)) data = cleaned;
  }
  const ImageSource source(data, name);
  return LoadFrom(source, static_cast<FREE_IMAGE_FORMAT>(format), flags, error, maxPixels);
}

bool ReadImageSize(const std::string& path, PixelSize* size) {
  const int code = ImageFormatOfFile(path);
  if (code == kFormatHeif) return ReadHeifSize(path, size);
  const FREE_IMAGE_FORMAT format = static_cast<FREE_IMAGE_FORMAT>(code);
  if (format == FIF_UNKNOWN) return false;
  if (format == FIF_JPEG) {
    // Read from the frame header directly: the library would parse the EXIF on the way.
    std::string head;
    if (!ReadFileHead(path, kJpegHeadBytes, &head)) return false;
    JpegFrame frame;
    if (!ReadJpegFrame(head, &frame) || frame.size.width <= 0 || frame.size.height <= 0) {
      return false;
    }
    if (size != nullptr) *size = frame.size;
    return true;
  }
  ImageMessageScope quiet;
  const Bitmap header(ImageFileReader(path).Load(format, FIF_LOAD_NOPIXELS));
  if (header == nullptr) return false;
  const PixelSize found = BitmapSize(header.get());
  if (found.width <= 0 || found.height <= 0) return false;
  if (size != nullptr) *size = found;
  return true;
}

}  // namespace zerva
