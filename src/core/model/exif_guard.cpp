#include "model/exif_guard.h"

#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "model/tiff_walker.h"
#include "platform/fs.h"

namespace zerva {
namespace {

constexpr uint32_t kTagThumbnailOffset = 513;
constexpr uint32_t kTagThumbnailLength = 514;
// Hidden entries are given this tag, which no metadata model knows.
constexpr uint32_t kHiddenTag = 0xFFFF;
// Header sections before the scan; real files have a dozen.
constexpr int kMaxHeaderSections = 256;
// The library decodes the embedded thumbnail in full; cameras embed 160 x 120 pictures, so a
// thumbnail claiming more than this many pixels is hidden rather than decoded.
constexpr uint64_t kMaxThumbnailPixels = 2048 * 2048;

struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

void Put16(std::string* bytes, uint64_t at, uint32_t value, bool motorola) {
  (*bytes)[at + (motorola ? 0 : 1)] = static_cast<char>((value >> 8) & 0xFF);
  (*bytes)[at + (motorola ? 1 : 0)] = static_cast<char>(value & 0xFF);
}

// The picture size a JPEG declares in its frame header; nothing when there is none.
std::optional<uint64_t> JpegPixels(std::string_view jpeg) {
  if (jpeg.size() < 4 || jpeg[0] != '\xFF' || jpeg[1] != '\xD8') return std::nullopt;
  size_t pos = 2;
  while (pos + 4 <= jpeg.size() && jpeg[pos] == '\xFF') {
    const auto marker = static_cast<unsigned char>(jpeg[pos + 1]);
    const size_t length = (static_cast<unsigned char>(jpeg[pos + 2]) << 8) |
                          static_cast<unsigned char>(jpeg[pos + 3]);
    const bool frame =
        marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
    if (frame && length >= 7 && pos + 9 <= jpeg.size()) {
      const auto byte = [&](size_t i) { return static_cast<unsigned char>(jpeg[pos + i]); };
      return static_cast<uint64_t>((byte(5) << 8) | byte(6)) * ((byte(7) << 8) | byte(8));
    }
    if (marker == 0xDA || length < 2) return std::nullopt;
    pos += 2 + length;
  }
  return std::nullopt;
}

// Which entries of an EXIF structure the library must not see.
struct Hidden {
  std::vector<uint64_t> entries;  // of maker notes and of an oversized thumbnail
};

// `sortedTags`: every directory lists its tags in ascending order, as the format demands. The
// image library's reader of whole TIFF files mishandles directories that break this together
// with tags it does not know (it reads past its buffers), so such files are not handed to it.
bool CheckTiff(std::string_view bytes, Hidden* hidden, std::string* error,
               bool sortedTags = false) {
  const std::optional<TiffData> tiff = TiffData::Open(bytes, error);
  if (!tiff) return false;
  if (tiff->size() < 8) {
    *error = "Suspicious offset of first IFD value";
    return false;
  }
  const uint64_t first = tiff->Get32(4);
  if (first < 8 || first >= tiff->size()) {
    *error = "Suspicious offset of first IFD value";
    return false;
  }
  std::optional<int64_t> thumbOffset, thumbLength;
  std::vector<uint64_t> thumbEntries;
  std::map<uint64_t, uint32_t> lastTags;  // per directory
  bool unsorted = false;
  const auto visit = [&](const TiffEntry& entry) {
    if (sortedTags) {
      const auto [last, first] = lastTags.try_emplace(entry.directoryPos, entry.tag);
      if (!first && entry.tag <= last->second) {
        unsorted = true;
        return WalkAction::kStop;
      }
      last->second = entry.tag;
    }
    if (entry.tag == kTagMakerNote && hidden) hidden->entries.push_back(entry.entryPos);
    if (entry.tag == kTagThumbnailOffset) {
      thumbOffset = tiff->IntegerValue(entry);
      thumbEntries.push_back(entry.entryPos);
    }
    if (entry.tag == kTagThumbnailLength) {
      thumbLength = tiff->IntegerValue(entry);
      thumbEntries.push_back(entry.entryPos);
    }
    return WalkAction::kContinue;
  };
  if (!WalkTiffDirectories(*tiff, first, visit, TiffWalkRules{true}, error)) return false;
  if (unsorted) {
    *error = "Directory tags out of order";
    return false;
  }
  if (thumbOffset || thumbLength) {
    const int64_t offset = thumbOffset.value_or(0);
    const int64_t length = thumbLength.value_or(0);
    if (offset < 0 || length < 0 || static_cast<uint64_t>(offset + length) > tiff->size()) {
      *error = "Thumbnail outside the EXIF data";
      return false;
    }
    const std::optional<uint64_t> pixels =
        JpegPixels(bytes.substr(static_cast<size_t>(offset), static_cast<size_t>(length)));
    if (hidden && (!pixels || *pixels > kMaxThumbnailPixels)) {
      hidden->entries.insert(hidden->entries.end(), thumbEntries.begin(), thumbEntries.end());
    }
  }
  return true;
}

}  // namespace

bool SanitizeExifBody(std::string* body, std::string* error) {
  Hidden hidden;
  if (!CheckTiff(*body, &hidden, error)) return false;
  const bool motorola = (*body)[0] == 'M';
  for (uint64_t entry : hidden.entries) Put16(body, entry, kHiddenTag, motorola);
  return true;
}

std::string SafeJpegHeader(const std::string& path) {
  std::unique_ptr<std::FILE, FileCloser> file(OpenRegularStream(path, "rb"));
  if (!file) return {};
  if (std::fgetc(file.get()) != 0xFF || std::fgetc(file.get()) != 0xD8) return {};
  std::string header = "\xFF\xD8";
  bool exifTaken = false;
  for (int section = 0; section < kMaxHeaderSections; ++section) {
    // Every section starts with 0xFF, possibly repeated as padding; anything else ends the
    // header here, so that no byte the checks did not see reaches the library.
    if (std::fgetc(file.get()) != 0xFF) break;
    int marker = std::fgetc(file.get());
    for (int padding = 0; marker == 0xFF && padding < 16; ++padding) {
      marker = std::fgetc(file.get());
    }
    const int hi = std::fgetc(file.get());
    const int lo = std::fgetc(file.get());
    if (marker == EOF || marker == 0xFF || hi == EOF || lo == EOF) break;
    const int length = (hi << 8) | lo;
    if (length < 2) break;
    std::string data(static_cast<size_t>(length - 2), '\0');
    if (std::fread(data.data(), 1, data.size(), file.get()) != data.size()) break;
    const auto append = [&](const std::string& bytes) {
      const size_t n = bytes.size() + 2;
      header += '\xFF';
      header += static_cast<char>(marker);
      header += static_cast<char>((n >> 8) & 0xFF);
      header += static_cast<char>(n & 0xFF);
      header += bytes;
    };
    if (marker == 0xDA) {
      append(data);
      break;
    }
    if (marker == 0xE1 && !exifTaken && data.compare(0, 6, std::string("Exif\0\0", 6)) == 0) {
      exifTaken = true;
      std::string body = data.substr(6);
      std::string error;
      if (SanitizeExifBody(&body, &error)) append(std::string("Exif\0\0", 6) + body);
      continue;
    }
    // Frame headers, tables and restart intervals are what the decoder needs; everything
    // else (comments, other application data, reserved markers) is left out.
    const bool frameOrTable =
        (marker >= 0xC0 && marker <= 0xCF && marker != 0xC8) || marker == 0xDB || marker == 0xDD;
    if (frameOrTable) append(data);
  }
  return header + "\xFF\xD9";
}

bool TiffFileIsSound(const std::string& path) {
  const int fd = OpenRegularFile(path);
  if (fd < 0) return false;
  struct stat st;
  bool sound = false;
  if (::fstat(fd, &st) == 0 && st.st_size >= 8) {
    const size_t size = static_cast<size_t>(st.st_size);
    void* map = ::mmap(nullptr, size, PROT_READ, MAP_PRIVATE, fd, 0);
    if (map != MAP_FAILED) {
      std::string error;
      // Only the directories are touched; a scan of hundreds of megabytes is not read.
      sound =
          CheckTiff(std::string_view(static_cast<const char*>(map), size), nullptr, &error, true);
      ::munmap(map, size);
    }
  }
  ::close(fd);
  return sound;
}

}  // namespace zerva
