// Photos come from anywhere: whatever EXIF data a JPEG carries (offsets out of range, loops,
// huge counts, lying types), reading it must neither crash nor leave values out of range.
#include <unistd.h>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "model/exif_reader.h"
#include "model/photo.h"
#include "scratch_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& path = zerva::fuzz::ScratchPath("exif", ".jpg");
  if (!zerva::fuzz::WriteScratch(path, data, size)) return 0;
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
