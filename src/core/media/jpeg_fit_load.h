// Loading a picture that is about to be fitted into a long side. libjpeg decodes a JPEG directly
// at a scale of M/8, far cheaper than decoding it whole and shrinking afterwards; the smallest
// scale whose longer side still keeps at least twice the target leaves the final Lanczos-3
// rescale enough pixels, so the result looks the same.
#pragma once

#include <string>
#include <string_view>

#include "media/bitmap.h"
#include "media/image_load.h"

namespace zerva {

struct JpegScale {
  int num = 1;
  int denom = 1;
  bool operator==(const JpegScale&) const = default;
};

// 1/1 when no reduction keeps twice `longSide` (or `longSide` is below 1).
JpegScale JpegScaleForFit(int width, int height, int longSide);
// The decoded size at that scale, rounded up as libjpeg does.
PixelSize ScaledJpegSize(int width, int height, JpegScale scale);

// A JPEG decoded at JpegScaleForFit with accurate decoding; other formats loaded with the
// prepare flags. Either way a standard 24-bit bitmap with the file's metadata (MakeStandardBitmap).
// `sourceSize` gets the size of the picture in the file. Empty on failure, with `error` as
// LoadImageFile words it; a truncated JPEG fails.
Bitmap LoadForFit(const std::string& path, int longSide, PixelSize* sourceSize = nullptr,
                  std::string* error = nullptr);
// The same for the bytes of a JPEG file in memory; `name` is what an error calls them.
Bitmap LoadJpegForFit(std::string_view data, int longSide, PixelSize* sourceSize = nullptr,
                      std::string* error = nullptr, int64_t maxPixels = kMaxImagePixels,
                      const std::string& name = {});

}  // namespace zerva
