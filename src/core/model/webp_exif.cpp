#include "model/webp_exif.h"

#include <algorithm>
#include <cstdint>

#include "model/byte_order.h"
#include "model/exif_payload.h"

namespace zerva {
namespace {

// An animation holds a chunk per frame; thousands are real, this many are not.
constexpr int kMaxWebpChunks = 100000;
// "RIFF", its size, "WEBP".
constexpr uint64_t kRiffHeader = 12;
// Type (4) and size (4) before each chunk's data.
constexpr uint64_t kChunkHeader = 8;

}  // namespace

std::optional<std::string> WebpExifBlock(ChunkSource& source, std::string* error) {
  if (error != nullptr) error->clear();
  std::string bytes;
  if (!source.Read(0, kRiffHeader, &bytes) || !HasWebpSignature(bytes)) {
    return NoExifBlock(error, "not a WebP file");
  }
  // The RIFF size counts from after its own field; a writer that stopped early leaves it
  // larger than the file, and the file's end is the limit then.
  const uint64_t end =
      std::min<uint64_t>(8 + uint64_t{LittleEndian32(bytes.substr(4))}, source.Size());
  uint64_t at = kRiffHeader;
  for (int chunks = 0; chunks < kMaxWebpChunks; ++chunks) {
    if (at + kChunkHeader > end) return std::nullopt;
    if (!source.Read(at, kChunkHeader, &bytes))
      return NoExifBlock(error, "the file ends inside a chunk header");
    const std::string_view type = std::string_view(bytes).substr(0, 4);
    const uint64_t length = LittleEndian32(std::string_view(bytes).substr(4));
    if (length > end - at - kChunkHeader)
      return NoExifBlock(error, "a chunk runs past the end of the file");
    if (type == "EXIF") {
      if (length > kMaxExifPayloadBytes + 6)
        return NoExifBlock(error, "the EXIF chunk is too large");
      if (!source.Read(at + kChunkHeader, length, &bytes)) {
        return NoExifBlock(error, "the EXIF chunk cannot be read");
      }
      if (!TakeTiffBlock(&bytes))
        return NoExifBlock(error, "the EXIF chunk holds no TIFF structure");
      return bytes;
    }
    // Chunks are padded to an even length.
    at += kChunkHeader + length + (length & 1);
  }
  return NoExifBlock(error, "too many chunks");
}

}  // namespace zerva
