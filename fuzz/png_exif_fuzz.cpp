// Pictures come from anywhere: the EXIF of whatever a PNG file holds.
#include "container_exif_fuzz.h"
#include "model/png_exif.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  return zerva::fuzz::FuzzContainerExif(data, size, zerva::PngExifBlock, "png_exif", ".png");
}
