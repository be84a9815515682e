// The watermark: a template picture laid over the bottom-right corner of a photo. The original
// pixels it covers are kept as a patch, so that a watermarked copy can be turned back into the
// original later (to rotate it, or to watermark it anew). Loading the template is the caller's
// business; without one no watermark is applied.
#pragma once

#include <string>

#include "media/bitmap.h"

namespace zerva {

// Lays `templ` flush with the bottom-right corner of `image`, composited against the pixels
// beneath, so a template with an alpha channel (or a transparent palette entry) lets them show
// through. The result is a standard 24-bit bitmap with the image's metadata. A template larger
// than the picture is clipped to it, keeping its own bottom-right part. With `patchOut`, the
// covered original pixels (24 bits) are stored there. Without a template nothing is done,
// `patchOut` is emptied and the result is true. False, with the image unchanged, when the
// library fails.
bool WatermarkImage(Bitmap& image, FIBITMAP* templ, Bitmap* patchOut);

// Loads `path` with `loadFlags`, watermarks it, writes the patch to `patchPath` and then the
// picture back over `path`, both as JPEG of `quality`. The patch goes first: a picture whose
// original pixels could not be kept is not watermarked. Without a template nothing is written and
// the result is true. False with `error` on any failure.
bool WatermarkFile(const std::string& path, int loadFlags, int quality,
                   const std::string& patchPath, FIBITMAP* templ, std::string* error = nullptr);

// Pastes `patch` over the bottom-right corner of `image`, restoring what a watermark covered.
// False when there is no patch, it is larger than the picture, or the library fails.
bool RemoveWatermark(FIBITMAP* image, FIBITMAP* patch);

}  // namespace zerva
