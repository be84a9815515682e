#include "model/png_exif.h"

#include <cstdint>

#include "model/byte_order.h"
#include "model/exif_payload.h"

namespace zerva {
namespace {

// A PNG of the largest picture taken, in chunks of a few KiB, stays far below this.
constexpr int kMaxPngChunks = 200000;
// Length (4), type (4), the data, CRC (4).
constexpr uint64_t kChunkFrame = 12;

}  // namespace

std::optional<std::string> PngExifBlock(ChunkSource& source, std::string* error) {
  if (error != nullptr) error->clear();
  std::string bytes;
  if (!source.Read(0, 8, &bytes) || !HasPngSignature(bytes))
    return NoExifBlock(error, "not a PNG file");
  const uint64_t size = source.Size();
  uint64_t at = 8;
  for (int chunks = 0; chunks < kMaxPngChunks; ++chunks) {
    // A file without IEND ends after its last whole chunk.
    if (at == size) return std::nullopt;
    if (!source.Read(at, 8, &bytes))
      return NoExifBlock(error, "the file ends inside a chunk header");
    const uint32_t length = BigEndian32(bytes);
    const std::string_view type = std::string_view(bytes).substr(4, 4);
    if (length > 0x7FFFFFFFu) return NoExifBlock(error, "a chunk length out of range");
    if (length + kChunkFrame > size - at)
      return NoExifBlock(error, "a chunk runs past the end of the file");
    if (type == "eXIf") {
      if (length > kMaxExifPayloadBytes + 6)
        return NoExifBlock(error, "the EXIF chunk is too large");
      if (!source.Read(at + 8, length, &bytes))
        return NoExifBlock(error, "the EXIF chunk cannot be read");
      if (!TakeTiffBlock(&bytes))
        return NoExifBlock(error, "the EXIF chunk holds no TIFF structure");
      return bytes;
    }
    if (type == "IEND") return std::nullopt;
    at += length + kChunkFrame;
  }
  return NoExifBlock(error, "too many chunks");
}

}  // namespace zerva
