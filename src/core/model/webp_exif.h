// The EXIF block of a WebP picture, from its "EXIF" chunk. The RIFF chunks are walked by their
// headers only, every size checked against the RIFF size and the file, the walk bounded.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "model/chunk_source.h"

namespace zerva {

inline bool HasWebpSignature(std::string_view head) {
  return head.size() >= 12 && head.substr(0, 4) == "RIFF" && head.substr(8, 4) == "WEBP";
}

// The TIFF-structured block of the first EXIF chunk (see TakeTiffBlock), not yet checked inside.
// Nothing when the picture has none or the walk fails; `error` then says why (empty when the
// picture simply carries no EXIF).
std::optional<std::string> WebpExifBlock(ChunkSource& source, std::string* error = nullptr);

}  // namespace zerva
