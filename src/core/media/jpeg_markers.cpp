#include "media/jpeg_markers.h"

#include <algorithm>
#include <cstring>

namespace zerva {
namespace {

// The markers libjpeg reads a length for: frames, tables, restart interval, scans, DNL,
// application segments and comments. Any other code is an unknown marker, which the image library
// tells libjpeg to step over without a length, so the walk does the same.
bool HasLength(uint8_t marker) {
  return (marker >= 0xC0 && marker <= 0xCF) || (marker >= 0xDA && marker <= 0xDD) ||
         (marker >= 0xE0 && marker <= 0xEF) || marker == 0xFE;
}

}  // namespace

void ForEachJpegSegment(std::string_view jpeg,
                        const std::function<bool(const JpegSegment&)>& visit) {
  const auto byte = [&](size_t at) { return static_cast<uint8_t>(jpeg[at]); };
  if (jpeg.size() < 4 || byte(0) != 0xFF || byte(1) != 0xD8) return;
  size_t pos = 2;
  while (pos + 1 < jpeg.size()) {
    if (byte(pos) != 0xFF) {
      const void* next = std::memchr(jpeg.data() + pos, 0xFF, jpeg.size() - pos);
      if (next == nullptr) return;
      pos = static_cast<size_t>(static_cast<const char*>(next) - jpeg.data());
      continue;
    }
    const uint8_t marker = byte(pos + 1);
    if (marker == 0xD9) return;  // end of image
    if (marker == 0xFF) {        // fill byte
      ++pos;
      continue;
    }
    if (!HasLength(marker)) {
      pos += 2;
      continue;
    }
    if (pos + 4 > jpeg.size()) return;
    const size_t length = (static_cast<size_t>(byte(pos + 2)) << 8) | byte(pos + 3);
    if (length < 2) return;
    JpegSegment segment;
    segment.marker = marker;
    segment.start = pos;
    segment.end = std::min(jpeg.size(), pos + 2 + length);
    segment.complete = segment.end == pos + 2 + length;
    if (!visit(segment)) return;
    pos = segment.end;
  }
}

bool ReadJpegFrame(std::string_view jpeg, JpegFrame* frame) {
  bool found = false;
  ForEachJpegSegment(jpeg, [&](const JpegSegment& segment) {
    // Start-of-frame markers are 0xC0 to 0xCF, except DHT (C4), JPG (C8) and DAC (CC).
    const uint8_t m = segment.marker;
    if (m < 0xC0 || m > 0xCF || m == 0xC4 || m == 0xC8 || m == 0xCC) return true;
    const std::string_view body = segment.Body(jpeg);
    if (body.size() < 6) return false;
    const auto at = [&](size_t i) { return static_cast<uint8_t>(body[i]); };
    if (frame != nullptr) {
      frame->size = {(at(3) << 8) | at(4), (at(1) << 8) | at(2)};
      frame->components = at(5);
    }
    found = true;
    return false;
  });
  return found;
}

}  // namespace zerva
