#include "model/jpeg_orientation.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <optional>
#include <string_view>
#include <vector>

#include "app/trace.h"
#include "model/tiff_walker.h"
#include "platform/fs.h"

namespace zerva {
namespace {

constexpr int kMaxPaddingBytes = 7;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

// Writes 1 over the value in its own width and byte order. Only integer formats are
// rewritten: any other spelling of the tag is left as the camera wrote it.
bool WriteNormal(std::FILE* file, long tiffFilePos, const TiffData& tiff, const TiffEntry& entry,
                 std::string* error) {
  uint8_t bytes[4] = {0, 0, 0, 0};
  size_t width = 0;
  switch (entry.format) {
    case 1:
    case 6:
      width = 1;
      break;
    case 3:
    case 8:
      width = 2;
      break;
    case 4:
    case 9:
      width = 4;
      break;
    default:
      return true;
  }
  bytes[tiff.motorola() ? width - 1 : 0] = 1;
  const long pos = tiffFilePos + static_cast<long>(entry.valuePos);
  if (std::fseek(file, pos, SEEK_SET) != 0 || std::fwrite(bytes, 1, width, file) != width ||
      std::fflush(file) != 0) {
    *error = "Could not write the orientation value";
    return false;
  }
  return true;
}

bool ProcessExifSection(std::FILE* file, const std::vector<uint8_t>& data, long dataFilePos,
                        std::string* error) {
  static constexpr uint8_t kHeader[6] = {'E', 'x', 'i', 'f', 0, 0};
  if (data.size() < 6 || !std::equal(kHeader, kHeader + 6, data.begin())) {
    *error = "Incorrect Exif header";
    return false;
  }
  const std::string_view bytes(reinterpret_cast<const char*>(data.data()) + 6, data.size() - 6);
  const std::optional<TiffData> tiff = TiffData::Open(bytes, error);
  if (!tiff) return false;
  const uint32_t firstOffset = tiff->size() >= 8 ? tiff->Get32(4) : 0;
  if (firstOffset < 8 || firstOffset > 16) {
    *error = "Suspicious offset of first IFD value";
    return false;
  }
  // The first directory is read at offset 8 whatever the header says.
  std::optional<TiffEntry> orientation;
  const auto visit = [&](const TiffEntry& entry) {
    if (entry.tag != kTagOrientation) return WalkAction::kContinue;
    orientation = entry;
    return WalkAction::kStop;
  };
  if (!WalkTiffDirectories(*tiff, 8, visit, TiffWalkRules{}, error)) return false;
  // Found or not, the walk is done; only a value above 1 is rewritten.
  if (orientation && orientation->count >= 1 && tiff->IntegerValue(*orientation) > 1) {
    return WriteNormal(file, dataFilePos + 6, *tiff, *orientation, error);
  }
  return true;
}

bool WalkSections(std::FILE* file, std::string* error) {
  int kept = 0;
  for (;;) {
    if (kept >= kMaxJpegSections) {
      *error = "Too many sections in jpg file";
      return false;
    }
    int marker = 0;
    int padding = 0;
    for (;;) {
      marker = std::fgetc(file);
      if (marker != 0xFF) break;
      if (++padding > kMaxPaddingBytes) {
        *error = "too many padding unsigned chars!";
        return false;
      }
    }
    const int hi = std::fgetc(file);
    const int lo = marker == EOF || hi == EOF ? EOF : std::fgetc(file);
    if (marker == EOF || lo == EOF) {
      *error = "Premature end of file?";
      return false;
    }
    const int length = (hi << 8) | lo;
    if (length < 2) {
      *error = "invalid marker";
      return false;
    }
    std::vector<uint8_t> data;
    try {
      data.resize(static_cast<size_t>(length - 2));
    } catch (const std::bad_alloc&) {
      *error = "Could not allocate memory";
      return false;
    }
    const long dataFilePos = std::ftell(file);
    if (std::fread(data.data(), 1, data.size(), file) != data.size()) {
      *error = "Premature end of file?";
      return false;
    }
    switch (marker) {
      case 0xD9:
        // The original wrote this to the console; a library keeps it for the log.
        *error = "No image in jpeg!\n";
        TraceText(kTraceNotice, "ResetOrientation: No image in jpeg!");
        return false;
      case 0xDA:
        return true;  // the picture data begins: there was no EXIF section
      case 0xE1:
        if (data.size() >= 4 &&
            std::string_view(reinterpret_cast<const char*>(data.data()), 4) == "Exif") {
          return ProcessExifSection(file, data, dataFilePos, error);
        }
        break;  // other APP1 sections (XMP) do not count
      case 0xE0:
        break;  // nor do JFIF sections
      default:
        ++kept;
        break;
    }
  }
}

}  // namespace

bool ResetOrientation(const std::string& path, std::string* lastError) {
  std::string error;
  File file(OpenRegularStream(path, "r+b"));
  if (!file) {
    error = "Cannot open the file for writing";
  } else {
    const int a = std::fgetc(file.get());
    const int b = std::fgetc(file.get());
    if (a != 0xFF || b != 0xD8) {
      error = "Not a JPEG file";
    } else if (WalkSections(file.get(), &error)) {
      error.clear();
      if (lastError) lastError->clear();
      return true;
    }
  }
  if (lastError) *lastError = error;
  return false;
}

}  // namespace zerva
