// What the service holds of an album's items (the GetUploadedFiles listing and the videos it
// reports missing), and which items are damaged because a file is gone.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <string_view>

namespace zerva {

class CAlbum;
class CPhoto;
struct VideoProber;

struct UploadedFiles {
  std::map<std::string, int64_t> images;    // imagesDir: fileName -> size
  std::map<std::string, int64_t> hdimages;  // hdimagesDir
  std::map<std::string, int64_t> thumbs;    // thumbDir
  std::map<std::string, int64_t> diffs;     // diffDir
  std::map<int, int64_t> videos;            // videoDir: photoID -> size
};

// The five listings of a GetUploadedFiles value.
UploadedFiles ParseUploadedFiles(std::string_view answer);
// The file names of a GetMissingVideos value.
std::set<std::string> ParseMissingVideos(std::string_view answer);

// Stores the listed sizes into the items with that fileName (videos: that photoID).
void ApplyUploadedSizes(CAlbum& album, const UploadedFiles& files);

// An included item is damaged when its image or thumbnail (or, for an HD photo, its HD image)
// is not held with a size of 1 or more, or it is a video the service reports missing.
bool IsDamaged(const CPhoto& item, const UploadedFiles& files,
               const std::set<std::string>& missingVideos);

}  // namespace zerva
