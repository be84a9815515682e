// Pictures come from anywhere: whatever chunks a PNG file holds (lengths that lie, endless
// chunks, an EXIF block with offsets out of range), finding and reading its EXIF must neither
// crash nor hang nor hand the image library an unchecked block.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "model/chunk_source.h"
#include "model/exif_payload.h"
#include "model/exif_reader.h"
#include "model/photo.h"
#include "model/png_exif.h"

namespace {

const std::string& ScratchPath() {
  static const std::string path = [] {
    const char* tmp = std::getenv("TMPDIR");
    return std::string(tmp && *tmp ? tmp : "/tmp") + "/zerva_png_exif_fuzz_" +
           std::to_string(::getpid()) + ".png";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  zerva::MemoryChunkSource source(bytes);
  std::string error;
  const std::optional<std::string> block = zerva::PngExifBlock(source, &error);
  if (block) {
    if (block->size() > zerva::kMaxExifPayloadBytes + 6 || !error.empty()) std::abort();
    std::string copy = *block;
    if (!zerva::TakeTiffBlock(&copy) || copy != *block) std::abort();
  }
  // The whole route: the walk over the file, the guard, the carrier and the tag reading.
  const std::string& path = ScratchPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  zerva::CPhoto item;
  item.localPath = path;
  zerva::ReadExif(item, 100, 1200, true, {true, true});
  if (item.exifInfo.orientation < 0 || item.exifInfo.orientation > 8) std::abort();
  item.ToXml();
  ::unlink(path.c_str());
  return 0;
}
