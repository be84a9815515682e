#include "cli/upload_album.h"

#include <filesystem>
#include <mutex>

#include "app/text_utils.h"
#include "model/album.h"
#include "model/album_mngr.h"
#include "model/exif_block.h"
#include "model/exif_reader.h"
#include "ui/upload_jobs.h"
#include "ui/zerva_app.h"

namespace zerva::cli {
namespace {

// EXIF texts by the user's variables, and the camera's orientation as the rotation code, as a
// new item gets them in the editor.
void ReadItemExif(const CAlbum& album, CPhoto& item) {
  if (item.IsVideo()) return;
  ReadExif(item, album.maxSizeThumb, album.resolution, true,
           ExifTextUse{album.env.useExifName, album.env.useExifDesc});
  std::lock_guard<std::mutex> lock(item.lock);
  if (item.exifRead && item.exifInfo.orientation > 1) {
    item.rotate = RotationCodeFromOrientation(item.exifInfo.orientation);
  }
}

}  // namespace

std::string CanonicalFolder(const std::string& folder) {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::canonical(folder, error);
  if (error || !std::filesystem::is_directory(path, error) || error) return {};
  return FolderWithoutTrailingSlash(path.string());
}

const CAlbum* FindAlbumOfFolder(const CAlbumMngr& albums, const std::string& folder) {
  const CAlbum* found = nullptr;
  for (const auto& album : albums.albums) {
    if (album->localPath.empty()) continue;
    std::string path = FolderWithoutTrailingSlash(album->localPath);
    // A folder that still exists is compared as the file system resolves it.
    const std::string canonical = CanonicalFolder(path);
    if (!canonical.empty()) path = canonical;
    if (path != folder) continue;
    if (found == nullptr || album->albumID > found->albumID) found = album.get();
  }
  return found;
}

int TakeInNewFiles(CAlbum& album) {
  int taken = 0;
  for (const auto& item : album.items) {
    if (item->included || !item->localFileAvailable || item->localPath.empty()) continue;
    item->included = true;
    item->needsUpload = true;
    ReadItemExif(album, *item);
    album.modified = true;
    ++taken;
  }
  return taken;
}

GoneItems LeaveOutGoneItems(CAlbum& album) {
  GoneItems gone;
  gone.albumWasModified = album.modified;
  for (const auto& item : album.items) {
    if (!item->included || item->localFileAvailable) continue;
    item->included = false;
    gone.items.push_back(item.get());
  }
  if (!gone.items.empty()) album.modified = true;
  return gone;
}

void IncludeAgain(CAlbum& album, const GoneItems& gone) {
  for (CPhoto* item : gone.items) item->included = true;
  album.modified = gone.albumWasModified;
}

int CountToPrepare(const CAlbum& album) {
  int count = 0;
  for (const auto& item : album.items) count += NeedsPreparation(*item) ? 1 : 0;
  return count;
}

}  // namespace zerva::cli
