// Which local files become album items: names by their extension, photos by their content,
// videos by the probe; and the sorted listing of a folder. Nothing but a regular file is ever
// opened, and every file whose name promises a photo or video but that cannot be one is
// reported with its reason instead of being dropped without a word.
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

enum class LeftOutReason {
  kNone,
  kNotRegularFile,  // a FIFO, device or socket carrying a picture's name
  kLinkLoop,
  kBrokenLink,
  kNameNotUtf8,  // the service and the program's texts take names as UTF-8
  kUnreadable,
  kEmpty,
  kNotPicture,
  kOtherPicture,  // a picture of a format the album does not take; see `format`
  kNotVideo,
  kNotMedia,  // a dropped file whose name is neither a photo's nor a video's
};

struct LeftOutFile {
  std::string name;  // as listed; shown with bad bytes as "?"
  LeftOutReason reason = LeftOutReason::kNone;
  std::string format;  // kOtherPicture: the name of the format ("GIF")
};

// Grouped by reason (in the order of LeftOutReason), then by name as folders are listed.
void SortLeftOut(std::vector<LeftOutFile>& files);
// The user's words for the reason ("empty file"), in the active language.
std::string LeftOutText(const LeftOutFile& file);

struct NamedReason {
  std::string name;
  std::string reason;
};
NamedReason Named(const LeftOutFile& file);
// "a.jpg (empty file), b.jpg (not a picture)"; names shown as valid UTF-8.
std::string NamedReasonList(const std::vector<NamedReason>& files);

// What can be told about a file without opening it: a link is followed to its target (a link
// out of the folder to a regular file is taken, the user put it there); a loop, a dangling
// link, anything but a regular file, a file the user may not read and an empty file are
// refused. `isDirectory` for a folder (or a link to one), which scans skip silently.
struct LocalFileCheck {
  LeftOutReason refusal = LeftOutReason::kNone;
  bool isDirectory = false;
};
LocalFileCheck CheckLocalFile(const std::string& path);

struct DetectedType {
  int format = -1;  // -1 rejects the file, for `refusal`
  bool isVideo = false;
  LeftOutReason refusal = LeftOutReason::kNone;
  std::string otherFormat;  // kOtherPicture's format
};
// Photos are typed by their content, not their name: JPEG, TIFF, camera RAW, PNG and WebP (the
// image library's codes) and HEIF (kImageFormatHeif) are taken, any other picture is refused as
// kOtherPicture with its format's name; videos are probed into `video`.
DetectedType DetectType(const std::string& path, const AlbumEnvironment& env, CZervaVideo* video);

struct FolderEntry {
  std::string name;
  std::string path;
};
// The accepted files of a folder (no sub-folders), sorted by name in the user's locale,
// ignoring case. Empty when the folder cannot be listed. Files with an accepted name that
// cannot be items go to `leftOut` (when given) with their reason, sorted by SortLeftOut.
std::vector<FolderEntry> ScanFolder(const std::string& folder, bool allowVideo,
                                    std::vector<LeftOutFile>* leftOut = nullptr);

// The pattern list of file-open dialogs: photos (kinds bit 1) and videos (bit 2).
inline std::string FileFilter(int kinds, bool withUpperCase) {
  return MediaPatterns(kinds, withUpperCase);
}

}  // namespace zerva
