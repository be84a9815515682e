#include "media/jpeg_exif_guard.h"

#include <cstdint>
#include <optional>

#include "media/jpeg_markers.h"
#include "model/exif_guard.h"
#include "model/tiff_walker.h"

namespace zerva {
namespace {

constexpr uint8_t kApp1 = 0xE1;
constexpr std::string_view kExifId("Exif\0\0", 6);
constexpr uint32_t kTagThumbnailOffset = 513;
constexpr uint32_t kTagThumbnailLength = 514;
// A thumbnail inside a thumbnail inside a photo is already more than cameras write.
constexpr int kMaxNesting = 2;

enum class Verdict { kSafe, kChanged, kTooDeep };
Verdict Check(std::string_view jpeg, int depth, std::string* cleaned);

// The thumbnail the library would decode from a sanitized EXIF body, if any.
std::string_view Thumbnail(std::string_view body) {
  std::string error;
  const std::optional<TiffData> tiff = TiffData::Open(body, &error);
  if (!tiff || tiff->size() < 8) return {};
  int64_t offset = 0, length = 0;
  WalkTiffDirectories(
      *tiff, tiff->Get32(4),
      [&](const TiffEntry& entry) {
        if (entry.tag == kTagThumbnailOffset) offset = tiff->IntegerValue(entry);
        if (entry.tag == kTagThumbnailLength) length = tiff->IntegerValue(entry);
        return WalkAction::kContinue;
      },
      TiffWalkRules{true}, &error);
  if (offset <= 0 || length <= 0 || static_cast<uint64_t>(offset + length) > body.size()) return {};
  return body.substr(static_cast<size_t>(offset), static_cast<size_t>(length));
}

// The EXIF section's new body: the same, sanitized, or nothing when it must go.
std::optional<std::string> SafeSection(const JpegSegment& segment, std::string_view jpeg,
                                       int depth) {
  const std::string_view body = segment.Body(jpeg);
  // A section cut off by the end of the file is filled up by the decoder with made-up bytes.
  if (!segment.complete) return std::nullopt;
  std::string tiff(body.substr(kExifId.size()));
  std::string error;
  if (!SanitizeExifBody(&tiff, &error)) return std::nullopt;
  const std::string_view thumbnail = Thumbnail(tiff);
  std::string unused;
  if (!thumbnail.empty() && Check(thumbnail, depth + 1, &unused) != Verdict::kSafe) {
    return std::nullopt;
  }
  return std::string(kExifId) + tiff;
}

// Whether the bytes can go to the library as they are; when not, `cleaned` gets them with safe
// EXIF sections.
Verdict Check(std::string_view jpeg, int depth, std::string* cleaned) {
  if (depth > kMaxNesting) return Verdict::kTooDeep;
  std::string result;
  size_t kept = 0;
  ForEachJpegSegment(jpeg, [&](const JpegSegment& segment) {
    const std::string_view body = segment.Body(jpeg);
    if (segment.marker != kApp1 || body.substr(0, kExifId.size()) != kExifId) return true;
    const std::optional<std::string> safe = SafeSection(segment, jpeg, depth);
    if (safe && *safe == body) return true;
    result.append(jpeg.substr(kept, segment.start - kept));
    if (safe) {
      const size_t length = safe->size() + 2;
      result += '\xFF';
      result += static_cast<char>(kApp1);
      result += static_cast<char>(length >> 8);
      result += static_cast<char>(length & 0xFF);
      result += *safe;
    }
    kept = segment.end;
    return true;
  });
  if (kept == 0) return Verdict::kSafe;
  result.append(jpeg.substr(kept));
  *cleaned = std::move(result);
  return Verdict::kChanged;
}

}  // namespace

bool MakeJpegExifSafe(std::string_view jpeg, std::string* cleaned) {
  return Check(jpeg, 0, cleaned) == Verdict::kChanged;
}

}  // namespace zerva
