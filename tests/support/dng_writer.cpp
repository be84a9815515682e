#include "support/dng_writer.h"

#include <algorithm>
#include <fstream>

namespace zerva::test {
namespace {

enum TagType : uint16_t { kByte = 1, kAscii = 2, kShort = 3, kLong = 4, kRational = 5 };
enum : uint16_t { kSRational = 10 };

void Put16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>((value >> 8) & 0xFF));
}
void Put32(std::string& out, uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}

struct Entry {
  uint16_t tag;
  uint16_t type;
  uint32_t count;
  std::string data;  // little-endian values
};

Entry Shorts(uint16_t tag, std::initializer_list<uint32_t> values) {
  Entry entry{tag, kShort, static_cast<uint32_t>(values.size()), {}};
  for (uint32_t v : values) Put16(entry.data, v);
  return entry;
}
Entry Longs(uint16_t tag, std::initializer_list<uint32_t> values) {
  Entry entry{tag, kLong, static_cast<uint32_t>(values.size()), {}};
  for (uint32_t v : values) Put32(entry.data, v);
  return entry;
}
Entry Bytes(uint16_t tag, std::initializer_list<uint8_t> values) {
  Entry entry{tag, kByte, static_cast<uint32_t>(values.size()), {}};
  for (uint8_t v : values) entry.data.push_back(static_cast<char>(v));
  return entry;
}
Entry Ascii(uint16_t tag, const std::string& text) {
  return {tag, kAscii, static_cast<uint32_t>(text.size() + 1), text + '\0'};
}
// Numerator and denominator pairs.
Entry Fractions(uint16_t tag, uint16_t type, std::initializer_list<int32_t> values) {
  Entry entry{tag, type, static_cast<uint32_t>(values.size() / 2), {}};
  for (int32_t v : values) Put32(entry.data, static_cast<uint32_t>(v));
  return entry;
}

// One directory: its entries in tag order, values longer than four bytes after them.
class Directory {
 public:
  void Add(Entry entry) { entries_.push_back(std::move(entry)); }
  void Set(uint16_t tag, uint32_t value) {
    for (Entry& entry : entries_) {
      if (entry.tag == tag) {
        entry.data.clear();
        Put32(entry.data, value);
      }
    }
  }
  size_t Size() const {
    size_t size = 2 + 12 * entries_.size() + 4;
    for (const Entry& entry : entries_) {
      if (entry.data.size() > 4) size += (entry.data.size() + 1) & ~size_t{1};
    }
    return size;
  }
  std::string Write(uint32_t at) {
    std::sort(entries_.begin(), entries_.end(),
              [](const Entry& a, const Entry& b) { return a.tag < b.tag; });
    std::string out, extra;
    const uint32_t extraAt = at + 2 + 12 * static_cast<uint32_t>(entries_.size()) + 4;
    Put16(out, static_cast<uint32_t>(entries_.size()));
    for (const Entry& entry : entries_) {
      Put16(out, entry.tag);
      Put16(out, entry.type);
      Put32(out, entry.count);
      if (entry.data.size() <= 4) {
        out += entry.data;
        out.append(4 - entry.data.size(), '\0');
      } else {
        Put32(out, extraAt + static_cast<uint32_t>(extra.size()));
        extra += entry.data;
        if (extra.size() % 2 != 0) extra.push_back('\0');
      }
    }
    Put32(out, 0);  // no next directory
    return out + extra;
  }

 private:
  std::vector<Entry> entries_;
};

}  // namespace

std::vector<uint16_t> LightOverDarkMosaic(int width, int height) {
  std::vector<uint16_t> mosaic(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y) {
    const uint16_t level = y < height / 2 ? kDngWhiteLevel * 3 / 4 : kDngWhiteLevel / 16;
    std::fill_n(mosaic.begin() + static_cast<ptrdiff_t>(y) * width, width, level);
  }
  return mosaic;
}

bool WriteDng(const std::string& path, const DngPicture& picture) {
  const uint32_t width = static_cast<uint32_t>(picture.width);
  const uint32_t height = static_cast<uint32_t>(picture.height);
  const uint32_t rawBytes = width * height * 2;
  const uint32_t previewBytes = static_cast<uint32_t>(picture.previewJpeg.size());
  if (picture.mosaic.size() != static_cast<size_t>(width) * height) return false;

  Directory preview;
  preview.Add(Longs(254, {1}));  // a reduced picture of the main one
  preview.Add(Longs(256, {static_cast<uint32_t>(picture.previewWidth)}));
  preview.Add(Longs(257, {static_cast<uint32_t>(picture.previewHeight)}));
  preview.Add(Shorts(258, {8, 8, 8}));
  preview.Add(Shorts(259, {7}));  // JPEG
  preview.Add(Shorts(262, {6}));  // YCbCr
  preview.Add(Ascii(271, picture.make));
  preview.Add(Ascii(272, picture.model));
  preview.Add(Longs(273, {0}));
  preview.Add(Shorts(274, {1}));
  preview.Add(Shorts(277, {3}));
  preview.Add(Longs(278, {static_cast<uint32_t>(picture.previewHeight)}));
  preview.Add(Longs(279, {previewBytes}));
  preview.Add(Shorts(284, {1}));
  preview.Add(Ascii(306, picture.dateTime));
  preview.Add(Longs(330, {0}));             // the raw directory
  preview.Add(Bytes(50706, {1, 4, 0, 0}));  // DNGVersion
  preview.Add(Bytes(50707, {1, 1, 0, 0}));  // DNGBackwardVersion
  preview.Add(Ascii(50708, picture.make + " " + picture.model));
  preview.Add(Fractions(50721, kSRational,  // ColorMatrix1: XYZ to camera
                        {10000, 10000, 0, 10000, 0, 10000, 0, 10000, 10000, 10000, 0, 10000, 0,
                         10000, 0, 10000, 10000, 10000}));
  preview.Add(Fractions(50728, kRational, {1, 1, 1, 1, 1, 1}));  // AsShotNeutral
  preview.Add(Shorts(50778, {21}));                              // D65

  Directory raw;
  raw.Add(Longs(254, {0}));
  raw.Add(Longs(256, {width}));
  raw.Add(Longs(257, {height}));
  raw.Add(Shorts(258, {16}));
  raw.Add(Shorts(259, {1}));
  raw.Add(Shorts(262, {32803}));  // colour filter array
  raw.Add(Longs(273, {0}));
  raw.Add(Shorts(277, {1}));
  raw.Add(Longs(278, {height}));
  raw.Add(Longs(279, {rawBytes}));
  raw.Add(Shorts(284, {1}));
  raw.Add(Shorts(33421, {2, 2}));           // CFARepeatPatternDim
  raw.Add(Bytes(33422, {0, 1, 1, 2}));      // RGGB
  raw.Add(Longs(50717, {kDngWhiteLevel}));  // WhiteLevel

  const uint32_t previewDirAt = 8;
  const uint32_t rawDirAt = previewDirAt + static_cast<uint32_t>(preview.Size());
  const uint32_t previewAt = rawDirAt + static_cast<uint32_t>(raw.Size());
  const uint32_t rawAt = (previewAt + previewBytes + 1) & ~1u;
  preview.Set(273, previewAt);
  preview.Set(330, rawDirAt);
  raw.Set(273, rawAt);

  std::string out = std::string("II*\0", 4);
  Put32(out, previewDirAt);
  out += preview.Write(previewDirAt);
  out += raw.Write(rawDirAt);
  out += picture.previewJpeg;
  out.resize(rawAt, '\0');
  for (uint16_t sample : picture.mosaic) Put16(out, sample);

  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(out.data(), static_cast<std::streamsize>(out.size()));
  return static_cast<bool>(file);
}

}  // namespace zerva::test
