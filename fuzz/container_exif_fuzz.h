// The body of the targets for EXIF inside picture containers (PNG's eXIf chunk, WebP's EXIF
// chunk): whatever chunks a file holds (lengths that lie, endless chunks, an EXIF block with
// offsets out of range), finding and reading its EXIF must neither crash nor hang nor hand the
// image library an unchecked block.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "model/chunk_source.h"
#include "model/exif_payload.h"
#include "model/exif_reader.h"
#include "model/photo.h"
#include "scratch_file.h"

namespace zerva::fuzz {

// `findBlock(source, &error)` is the container's walk.
template <typename FindBlock>
int FuzzContainerExif(const uint8_t* data, size_t size, FindBlock findBlock, const char* target,
                      const char* extension) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  MemoryChunkSource source(bytes);
  std::string error;
  const std::optional<std::string> block = findBlock(source, &error);
  if (block) {
    if (block->size() > kMaxExifPayloadBytes + 6 || !error.empty()) std::abort();
    std::string copy = *block;
    if (!TakeTiffBlock(&copy) || copy != *block) std::abort();
  }
  // The whole route: the walk over the file, the guard, the carrier and the tag reading.
  const std::string& path = ScratchPath(target, extension);
  if (!WriteScratch(path, data, size)) return 0;
  CPhoto item;
  item.localPath = path;
  ReadExif(item, 100, 1200, true, {true, true});
  if (item.exifInfo.orientation < 0 || item.exifInfo.orientation > 8) std::abort();
  item.ToXml();
  ::unlink(path.c_str());
  return 0;
}

}  // namespace zerva::fuzz
