// Loading pictures with the flags that preparation uses, refusing bad input with a clear reason.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "media/bitmap.h"

namespace zerva {

// The image library's format codes that decide the flags.
inline constexpr int kFormatUnknown = -1;
inline constexpr int kFormatJpeg = 2;
inline constexpr int kFormatTiff = 18;
inline constexpr int kFormatRaw = 34;
inline constexpr int kFormatPng = 13;
inline constexpr int kFormatWebp = 35;
// HEIF (libheif, not the image library): outside the library's own codes.
inline constexpr int kFormatHeif = 1000;

// kPreview: the in-memory images of the editor. kPrepare: the files sent to the service.
enum class LoadPurpose { kPreview, kPrepare };

// Recognised by content, else by the file name's extension (HEIF by content only); kFormatUnknown
// when neither works or the library cannot read that format.
int ImageFormatOfFile(const std::string& path);

// Preview: a camera RAW file as its embedded preview, anything else with default flags.
// Prepare: RAW developed to 24-bit colour, TIFF, PNG and WebP with their default flags (an
// animated WebP gives its first frame), others with accurate JPEG decoding. HEIF takes no flags.
int LoadFlagsFor(int format, LoadPurpose purpose);

// Pictures from outside larger than this are refused before the library allocates them.
inline constexpr int64_t kMaxImagePixels = 512LL * 1000 * 1000;
inline constexpr int64_t kMaxImageFileBytes = 512LL * 1024 * 1024;

// Empty on failure, with `error` = "LoadImage <path>: <reason>". A JPEG whose data ends before the
// picture does fails too: the decoder would fill the rest grey and that would be sent as a photo.
// The pixels come as the library delivers them; see MakeStandardBitmap.
Bitmap LoadImageFile(const std::string& path, int flags, std::string* error = nullptr,
                     int64_t maxPixels = kMaxImagePixels);
Bitmap LoadImageFile(const std::string& path, LoadPurpose purpose, std::string* error = nullptr);
// The same from bytes in memory; `format` kFormatUnknown recognises them by content. `name` is
// what the error calls them ("LoadImage: " without one).
Bitmap LoadImageMemory(std::string_view data, int format, int flags, std::string* error = nullptr,
                       int64_t maxPixels = kMaxImagePixels, const std::string& name = {});

// "LoadImage <name>: <reason>", the form of every load error.
std::string LoadError(const std::string& name, const std::string& reason);
// Empty when a picture of `size` is within `maxPixels`, else the reason to refuse it.
std::string CheckPixelBound(PixelSize size, int64_t maxPixels);

// Width and height from the file's header, without decoding the pixels.
bool ReadImageSize(const std::string& path, PixelSize* size);

}  // namespace zerva
