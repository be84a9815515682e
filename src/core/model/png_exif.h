// The EXIF block of a PNG picture, from its eXIf chunk. The walk reads the chunk headers only,
// checks every length against the file, and stops at IEND, at the end of the data or after a
// bounded number of chunks, so a hostile file ends it with a reason instead of a long read.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/chunk_source.h"

namespace zerva {

inline bool HasPngSignature(std::string_view head) {
  return head.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8);
}

// The TIFF-structured block of the first eXIf chunk (see TakeTiffBlock), not yet checked inside.
// Nothing when the picture has none or the walk fails; `error` then says why (empty when the
// picture simply carries no EXIF).
std::optional<std::string> PngExifBlock(ChunkSource& source, std::string* error = nullptr);

}  // namespace zerva
