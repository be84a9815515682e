// Photos come from anywhere: whatever EXIF data a JPEG carries (offsets out of range, loops,
// huge counts, lying types), reading it must neither crash nor leave values out of range.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "model/exif_reader.h"
#include "model/photo.h"

namespace {

const std::string& ScratchPath() {
  static const std::string path = [] {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/zerva_exif_fuzz_" +
           std::to_string(::getpid()) + ".jpg";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = ScratchPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  zerva::CPhoto item;
  item.localPath = path;
  zerva::ReadExif(item, 100, 1200, true, {true, true});
  const zerva::ExifBlock& e = item.exifInfo;
  if (e.orientation < 0 || e.orientation > 8) std::abort();
  if (e.cameraMake.size() > zerva::kExifMakeChars ||
      e.cameraModel.size() > zerva::kExifModelChars || e.dateTime.size() > zerva::kExifDateChars ||
      e.exifVersion.size() > zerva::kExifVersionChars) {
    std::abort();
  }
  if (!std::isfinite(item.gpsLatitude) || !std::isfinite(item.gpsLongitude)) std::abort();
  // The texts went through the XML writer without trouble.
  item.ToXml();
  ::unlink(path.c_str());
  return 0;
}
