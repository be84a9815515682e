#include "model/album_items.h"

#include <algorithm>
#include <memory>

#include "app/dialogs.h"
#include "app/trace.h"
#include "lang/text.h"
#include "model/album.h"
#include "model/exif_reader.h"
#include "model/folder_scan.h"
#include "model/item_naming.h"
#include "model/text_compare.h"

namespace zerva {
namespace {

// A new item for a recognised file, as a folder scan makes it.
std::unique_ptr<CPhoto> MakeItem(const CAlbum& album, const FolderEntry& file,
                                 const DetectedType& type, CZervaVideo video, int index) {
  auto item = std::make_unique<CPhoto>();
  item->imageFormat = type.format;
  item->fileName = MakeServerFileName(file.name);
  MakeUniqueFileName(album, &item->fileName);
  item->localPath = file.path;
  item->index = index;
  item->isVideo = type.isVideo;
  if (type.isVideo) {
    item->video = std::move(video);
    item->video.videoChanged = true;  // a new video is always converted and sent
  }
  item->hasWatermark = !type.isVideo && album.defaultWatermark;
  return item;
}

LeftOutFile LeftOutOf(const FolderEntry& file, const DetectedType& type) {
  LeftOutFile left{file.name, type.refusal, type.otherFormat};
  TraceText(kTraceWarning, "AddItems: " + file.path + " left out: " + LeftOutText(left) + "\n");
  return left;
}

std::string ListedPaths(const std::vector<std::string>& paths, const std::string& reason) {
  std::string text;
  for (const std::string& path : paths) text += path + "\n";
  return text + "- " + reason;
}

}  // namespace

bool AddFolder(CAlbum& album, const std::string& folder,
               const std::vector<std::string>& selection) {
  int index = 1;
  bool added = false;
  std::vector<LeftOutFile> leftOut;
  for (const FolderEntry& file : ScanFolder(folder, album.env.videoSupport, &leftOut)) {
    CZervaVideo video;
    const DetectedType type = DetectType(file.path, album.env, &video);
    if (type.format == -1) {
      leftOut.push_back(LeftOutOf(file, type));
      continue;
    }
    auto item = MakeItem(album, file, type, std::move(video), index++);
    item->included = selection.empty() ||
                     std::find(selection.begin(), selection.end(), file.name) != selection.end();
    album.items.push_back(std::move(item));
    added = true;
  }
  SortLeftOut(leftOut);
  album.leftOut = std::move(leftOut);
  return added;
}

bool AddFile(CAlbum& album, const std::string& path, std::vector<std::string>* rejected,
             std::vector<std::string>* reIncluded, std::vector<std::string>* alreadyPresent) {
  const size_t slash = path.rfind('/');
  const FolderEntry file{slash == std::string::npos ? path : path.substr(slash + 1), path};
  const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
  const std::string candidate = MakeServerFileName(file.name);
  const bool inAlbumFolder = !album.localPath.empty() && folder == album.localPath;

  int nextIndex = 1;
  CPhoto* existing = nullptr;
  for (const auto& item : album.items) {
    nextIndex = std::max(nextIndex, item->index + 1);
    if (existing) continue;
    // Paths are compared exactly: the file system tells letter case apart. An item stored
    // without a path is a file of the album folder known by its service name.
    const bool samePath = !item->localPath.empty() && item->localPath == path;
    const bool sameName =
        inAlbumFolder && item->localPath.empty() &&
        (EqualsNoCase(item->fileName, file.name) || EqualsNoCase(item->fileName, candidate));
    if (samePath || sameName) existing = item.get();
  }

  if (existing) {
    if (existing->included) {
      alreadyPresent->push_back(path);
    } else {
      existing->included = true;
      existing->needsUpload = true;
      album.modified = true;
      reIncluded->push_back(path);
    }
    album.lastAddedIndex = existing->index - 1;
    return false;
  }

  CZervaVideo video;
  const DetectedType type = DetectType(path, album.env, &video);
  if (type.format == -1) {
    rejected->push_back(path);
    album.leftOut.push_back(LeftOutOf(file, type));
    return false;
  }
  auto item = MakeItem(album, file, type, std::move(video), nextIndex);
  item->included = true;
  item->needsUpload = true;
  ReadExif(*item, album.maxSizeThumb, album.resolution, true,
           ExifTextUse{album.env.useExifName, album.env.useExifDesc});
  album.items.push_back(std::move(item));
  album.modified = true;
  album.lastAddedIndex = nextIndex - 1;
  return true;
}

void AddFiles(CAlbum& album, Dialogs& dialogs) {
  std::vector<std::string> rejected, reIncluded, alreadyPresent;
  const std::vector<std::string> pending = std::move(album.pendingFiles);
  album.pendingFiles.clear();
  const size_t knownLeftOut = album.leftOut.size();
  for (const std::string& path : pending) {
    AddFile(album, path, &rejected, &reIncluded, &alreadyPresent);
  }
  if (!rejected.empty()) {
    // Each rejected path with its own reason, in the order AddFile recorded them.
    for (size_t i = 0; i < rejected.size() && knownLeftOut + i < album.leftOut.size(); ++i) {
      rejected[i] = NamedReasonList({{rejected[i], LeftOutText(album.leftOut[knownLeftOut + i])}});
    }
    dialogs.ShowMessage(ListedPaths(rejected, Text("msgInvalidFormat")), MessageKind::kError);
  }
  if (!alreadyPresent.empty()) {
    dialogs.ShowMessage(ListedPaths(alreadyPresent, Text("msgAlreadyPresent")),
                        MessageKind::kWarning);
  }
}

}  // namespace zerva
