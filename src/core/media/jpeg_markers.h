// Walking the marker segments of a JPEG file the way libjpeg reads them, without decoding.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "media/bitmap.h"

namespace zerva {

struct JpegSegment {
  uint8_t marker = 0;     // the byte after 0xFF: 0xE1 for APP1, 0xC0 for a baseline frame...
  size_t start = 0;       // offset of the 0xFF
  size_t end = 0;         // offset after the segment, at most the file's size
  bool complete = false;  // the file holds the whole length the segment claims
  std::string_view Body(std::string_view jpeg) const {
    return jpeg.substr(start + 4, end - start - 4);
  }
};

// Calls `visit` for each segment with a length, up to the end-of-image marker, while it returns
// true. Entropy-coded data and stray bytes are skipped as the decoder skips them, so segments
// between the scans of a progressive file are visited too.
void ForEachJpegSegment(std::string_view jpeg,
                        const std::function<bool(const JpegSegment&)>& visit);

struct JpegFrame {
  PixelSize size;
  int components = 0;  // 1 grey, 3 colour, 4 CMYK or YCCK
};

// The first frame header, as the decoder takes it; false when there is none or it is cut off.
bool ReadJpegFrame(std::string_view jpeg, JpegFrame* frame);

}  // namespace zerva
