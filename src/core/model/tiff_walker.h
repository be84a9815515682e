// A bounded walk over the directories of a TIFF structure: the body of an EXIF section, or a
// TIFF file. Entry counts, value ranges and links are checked against the bytes actually
// present, each directory is visited once and nesting is limited, so lying offsets, loops and
// huge counts end the walk with an error instead of reading outside the data.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace zerva {

inline constexpr uint32_t kTagOrientation = 274;
inline constexpr uint32_t kTagExifIfd = 34665;
inline constexpr uint32_t kTagGpsIfd = 34853;
inline constexpr uint32_t kTagInteropIfd = 40965;
inline constexpr uint32_t kTagMakerNote = 37500;

struct TiffEntry {
  uint32_t tag = 0;
  uint32_t format = 0;        // 1..12
  uint64_t count = 0;         // components
  uint64_t entryPos = 0;      // of the 12-byte entry
  uint64_t valuePos = 0;      // in the entry or at its offset
  uint64_t byteCount = 0;     // count times the format's size
  uint64_t directoryPos = 0;  // of the directory holding the entry
};

class TiffData {
 public:
  // Checks the byte-order mark and the number 42; the errors are those of the EXIF reader.
  static std::optional<TiffData> Open(std::string_view bytes, std::string* error);

  bool motorola() const { return motorola_; }
  uint64_t size() const { return bytes_.size(); }
  // The caller keeps `at` + 2 (+ 4) within size().
  uint32_t Get16(uint64_t at) const;
  uint32_t Get32(uint64_t at) const;
  // The first component as an integer; formats without an integer reading give 0.
  int64_t IntegerValue(const TiffEntry& entry) const;

 private:
  TiffData(std::string_view bytes, bool motorola) : bytes_(bytes), motorola_(motorola) {}
  std::string_view bytes_;
  bool motorola_;
};

enum class WalkAction { kContinue, kStop };

struct TiffWalkRules {
  // Lenient: a directory met again is skipped and a next-directory link outside the data is
  // ignored. Strict: both are errors.
  bool strict = false;
};

// Walks the directory at `firstDirectory`, the sub-directories of the EXIF, GPS and
// interoperability tags, and the next-directory links. True when the walk ended without an
// error (also when `visit` stopped it).
bool WalkTiffDirectories(const TiffData& data, uint64_t firstDirectory,
                         const std::function<WalkAction(const TiffEntry&)>& visit,
                         TiffWalkRules rules, std::string* error);

}  // namespace zerva
