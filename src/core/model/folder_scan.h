// Which local files become album items: names by their extension, photos by their content,
// videos by the probe; and the sorted listing of a folder.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/text_utils.h"

namespace zerva {

class CZervaVideo;
struct AlbumEnvironment;

struct AcceptedName {
  bool accepted = false;
  bool isVideo = false;
};
// A photo extension is accepted; a video extension too when `allowVideo` is set. A name without
// an extension (or whose only "." is its first character) is rejected.
AcceptedName IsAcceptedName(std::string_view fileName, bool allowVideo);

struct DetectedType {
  int format = -1;  // -1 rejects the file
  bool isVideo = false;
};
// Photos are typed by the image library from their content (JPEG, TIFF and camera RAW are
// taken); videos are probed into `video`.
DetectedType DetectType(const std::string& path, const AlbumEnvironment& env, CZervaVideo* video);

struct FolderEntry {
  std::string name;
  std::string path;
};
// The accepted files of a folder (no sub-folders), sorted by name in the user's locale,
// ignoring case. Empty when the folder cannot be listed.
std::vector<FolderEntry> ScanFolder(const std::string& folder, bool allowVideo);

// The pattern list of file-open dialogs: photos (kinds bit 1) and videos (bit 2).
inline std::string FileFilter(int kinds, bool withUpperCase) {
  return MediaPatterns(kinds, withUpperCase);
}

}  // namespace zerva
