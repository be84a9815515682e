#include "model/tiff_walker.h"

#include <set>

namespace zerva {
namespace {

// Directories nest three deep in real files; deeper nesting is a corrupt header.
constexpr int kMaxDirectoryDepth = 8;
// Bytes per component of the twelve TIFF formats.
constexpr uint64_t kFormatSize[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};

class Walker {
 public:
  Walker(const TiffData& data, const std::function<WalkAction(const TiffEntry&)>& visit,
         TiffWalkRules rules, std::string* error)
      : data_(data), visit_(visit), rules_(rules), error_(error) {}

  // False on an error; `stopped_` tells a visitor's stop apart.
  bool Directory(uint64_t start, int depth) {
    if (depth > kMaxDirectoryDepth)
      return Fail("Maximum directory nesting exceeded (corrupt exif header)");
    if (!visited_.insert(start).second) {
      return rules_.strict ? Fail("Directory visited twice") : true;
    }
    if (start + 2 > data_.size()) return Fail("Illegally sized directory");
    const uint64_t entries = data_.Get16(start);
    const uint64_t linkPos = start + 2 + 12 * entries;
    if (linkPos > data_.size()) return Fail("Illegally sized directory");
    for (uint64_t i = 0; i < entries; ++i) {
      TiffEntry entry;
      entry.directoryPos = start;
      entry.entryPos = start + 2 + 12 * i;
      entry.tag = data_.Get16(entry.entryPos);
      entry.format = data_.Get16(entry.entryPos + 2);
      entry.count = data_.Get32(entry.entryPos + 4);
      if (entry.format < 1 || entry.format > 12) return Fail("Illegal format code in EXIF dir");
      entry.byteCount = entry.count * kFormatSize[entry.format];
      entry.valuePos = entry.entryPos + 8;
      if (entry.byteCount > 4) {
        const uint64_t offset = data_.Get32(entry.entryPos + 8);
        if (offset + entry.byteCount > data_.size()) {
          return Fail("Illegal pointer offset value in EXIF.");
        }
        entry.valuePos = offset;
      }
      if (visit_(entry) == WalkAction::kStop) {
        stopped_ = true;
        return true;
      }
      if (entry.tag == kTagExifIfd || entry.tag == kTagGpsIfd || entry.tag == kTagInteropIfd) {
        const uint64_t sub = data_.Get32(entry.valuePos);
        if (sub >= data_.size()) return Fail("Illegal subdirectory link");
        if (!Directory(sub, depth + 1)) return false;
        if (stopped_) return true;
      }
    }
    if (linkPos + 4 <= data_.size()) {
      const uint64_t next = data_.Get32(linkPos);
      if (next != 0) {
        if (next < data_.size()) return Directory(next, depth + 1);
        if (rules_.strict) return Fail("Illegal subdirectory link");
      }
    } else if (rules_.strict) {
      return Fail("Illegally sized directory");
    }
    return true;
  }

 private:
  bool Fail(const char* text) {
    *error_ = text;
    return false;
  }

  const TiffData& data_;
  const std::function<WalkAction(const TiffEntry&)>& visit_;
  TiffWalkRules rules_;
  std::string* error_;
  std::set<uint64_t> visited_;
  bool stopped_ = false;
};

}  // namespace

std::optional<TiffData> TiffData::Open(std::string_view bytes, std::string* error) {
  if (bytes.size() < 2 ||
      !((bytes[0] == 'I' && bytes[1] == 'I') || (bytes[0] == 'M' && bytes[1] == 'M'))) {
    *error = "Invalid Exif alignment marker.";
    return std::nullopt;
  }
  TiffData data(bytes, bytes[0] == 'M');
  if (bytes.size() < 4 || data.Get16(2) != 42) {
    *error = "Invalid Exif start ( 1 )";
    return std::nullopt;
  }
  return data;
}

uint32_t TiffData::Get16(uint64_t at) const {
  const uint32_t a = static_cast<unsigned char>(bytes_[at]);
  const uint32_t b = static_cast<unsigned char>(bytes_[at + 1]);
  return motorola_ ? (a << 8) | b : (b << 8) | a;
}

uint32_t TiffData::Get32(uint64_t at) const {
  const uint32_t hi = Get16(motorola_ ? at : at + 2);
  const uint32_t lo = Get16(motorola_ ? at + 2 : at);
  return (hi << 16) | lo;
}

int64_t TiffData::IntegerValue(const TiffEntry& entry) const {
  const uint64_t at = entry.valuePos;
  const auto byte = [&](uint64_t i) { return static_cast<unsigned char>(bytes_[i]); };
  // A value of fewer bytes than its format lies in the entry's own four bytes.
  switch (entry.format) {
    case 1:
      return byte(at);
    case 6:
      return static_cast<int8_t>(byte(at));
    case 3:
      return Get16(at);
    case 8:
      return static_cast<int16_t>(Get16(at));
    case 4:
      return Get32(at);
    case 9:
      return static_cast<int32_t>(Get32(at));
    case 5: {
      if (entry.byteCount < 8) return 0;
      const uint32_t d = Get32(at + 4);
      return d == 0 ? 0 : Get32(at) / d;
    }
    case 10: {
      if (entry.byteCount < 8) return 0;
      const auto d = static_cast<int32_t>(Get32(at + 4));
      const auto n = static_cast<int32_t>(Get32(at));
      return d == 0 ? 0 : static_cast<int64_t>(n) / d;
    }
    default:
      return 0;
  }
}

bool WalkTiffDirectories(const TiffData& data, uint64_t firstDirectory,
                         const std::function<WalkAction(const TiffEntry&)>& visit,
                         TiffWalkRules rules, std::string* error) {
  Walker walker(data, visit, rules, error);
  return walker.Directory(firstDirectory, 0);
}

}  // namespace zerva
