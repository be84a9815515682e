#include "model/folder_scan.h"

#include <FreeImage.h>
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>

#include "model/album_environment.h"
#include "model/photo.h"
#include "model/text_compare.h"
#include "model/video_prober.h"
#include "model/zerva_video.h"

namespace zerva {
namespace {

// A folder holds more files than any album may: stop listing long before memory matters.
constexpr size_t kMaxListedFiles = 100000;

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

}  // namespace

AcceptedName IsAcceptedName(std::string_view fileName, bool allowVideo) {
  const size_t slash = fileName.rfind('/');
  if (slash != std::string_view::npos) fileName = fileName.substr(slash + 1);
  const std::string extension = FileExtension(fileName);
  if (extension.empty()) return {};
  if (IsMediaExtension(extension, kMediaPhotos)) return {true, false};
  if (allowVideo && IsMediaExtension(extension, kMediaVideos)) return {true, true};
  return {};
}

DetectedType DetectType(const std::string& path, const AlbumEnvironment& env, CZervaVideo* video) {
  const AcceptedName name = IsAcceptedName(path, env.videoSupport);
  if (!name.accepted) return {};
  if (name.isVideo) {
    CZervaVideo scratch;
    if (!ProbeVideo(env.videoProber, video ? *video : scratch, path)) return {};
    return {kVideoFormat, true};
  }
  const FREE_IMAGE_FORMAT format = FreeImage_GetFileType(path.c_str(), 0);
  switch (format) {
    case FIF_JPEG:
    case FIF_TIFF:
    case FIF_RAW:
      return {static_cast<int>(format), false};
    default:
      return {};
  }
}

std::vector<FolderEntry> ScanFolder(const std::string& folder, bool allowVideo) {
  std::vector<FolderEntry> entries;
  std::unique_ptr<DIR, DirCloser> dir(::opendir(folder.c_str()));
  if (!dir) return entries;
  const std::string prefix = folder.empty() || folder.back() == '/' ? folder : folder + "/";
  while (const dirent* entry = ::readdir(dir.get())) {
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (!IsAcceptedName(name, allowVideo).accepted) continue;
    const std::string path = prefix + name;
    struct stat st;
    if (::stat(path.c_str(), &st) != 0 || S_ISDIR(st.st_mode)) continue;
    entries.push_back({name, path});
    if (entries.size() >= kMaxListedFiles) break;
  }
  std::stable_sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
    return CollateNoCase(a.name, b.name) < 0;
  });
  return entries;
}

}  // namespace zerva
