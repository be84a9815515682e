// Pictures for the model's tests, made on the spot: pixels drawn with FreeImage, metadata
// written with exiftool (Debian libimage-exiftool-perl).
#pragma once

#include <FreeImagePlus.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/external_tools.h"
#include "support/temp_dir.h"

namespace zerva::test {

// A w x h picture with a gradient, so that encoders have something to encode.
inline bool DrawPicture(fipImage& image, unsigned width, unsigned height) {
  if (!image.setSize(FIT_BITMAP, width, height, 24)) return false;
  for (unsigned y = 0; y < height; ++y) {
    BYTE* line = image.getScanLine(y);
    for (unsigned x = 0; x < width; ++x) {
      line[3 * x] = static_cast<BYTE>(x * 255 / (width ? width : 1));
      line[3 * x + 1] = static_cast<BYTE>(y * 255 / (height ? height : 1));
      line[3 * x + 2] = static_cast<BYTE>((x + y) & 0xFF);
    }
  }
  return true;
}

inline std::string MakeJpeg(const TempDir& dir, const std::string& name, unsigned width = 64,
                            unsigned height = 48) {
  fipImage image;
  const std::string path = dir.File(name);
  if (!DrawPicture(image, width, height) || !image.save(FIF_JPEG, path.c_str(), 90)) return {};
  return path;
}

inline std::string MakeTiff(const TempDir& dir, const std::string& name, unsigned width = 64,
                            unsigned height = 48) {
  fipImage image;
  const std::string path = dir.File(name);
  if (!DrawPicture(image, width, height) || !image.save(FIF_TIFF, path.c_str(), 0)) return {};
  return path;
}

inline std::string MakePng(const TempDir& dir, const std::string& name, unsigned width = 64,
                           unsigned height = 48) {
  fipImage image;
  const std::string path = dir.File(name);
  if (!DrawPicture(image, width, height) || !image.save(FIF_PNG, path.c_str(), 0)) return {};
  return path;
}

// A WebP made by cwebp (Debian webp) from `source`, a JPEG or PNG; "-metadata exif" keeps the
// source's EXIF.
inline std::string MakeWebp(const TempDir& dir, const std::string& name, const std::string& source,
                            const std::string& options = "") {
  const std::string path = dir.File(name);
  return RunQuietly("cwebp -quiet " + options + " '" + source + "' -o '" + path + "'")
             ? path
             : std::string();
}

inline bool HaveExiftool() {
  return HaveTool("exiftool");
}

inline bool SetModificationTime(const std::string& path, int64_t seconds) {
  struct utimbuf times;
  times.actime = static_cast<time_t>(seconds);
  times.modtime = static_cast<time_t>(seconds);
  return ::utime(path.c_str(), &times) == 0;
}

}  // namespace zerva::test
