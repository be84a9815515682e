// Opening an album that exists on the service: its items come from the service's photo XML and
// are merged with the files of the album's local folder; files the service lost are found and
// the user decides what happens to them.
#include <algorithm>
#include <map>
#include <set>
#include <vector>

#include "app/app_folders.h"
#include "app/dialogs.h"
#include "app/elements.h"
#include "app/text_utils.h"
#include "app/trace.h"
#include "lang/text.h"
#include "model/album.h"
#include "model/album_items.h"
#include "model/folder_scan.h"
#include "model/item_naming.h"
#include "model/uploaded_files.h"
#include "model/video_prober.h"
#include "net/http_connect.h"
#include "platform/fs.h"

namespace zerva {
namespace {

constexpr int kAttemptsPerRound = 3;

enum class Fetch { kOk, kGaveUp };

// GetAlbumPhotos in rounds of three attempts; after a failed round the user may ask for
// another. An unavailable image server ends the attempts at once.
Fetch FetchPhotos(CHttpConnect& connection, Dialogs& dialogs, int albumId,
                  const std::string& userName, const std::string& userPass, int userId,
                  std::string* answer) {
  for (;;) {
    bool imageServerUnavailable = false;
    dialogs.ShowWait(Text("msgLoading"), Text("msgInfo"));
    for (int attempt = 0; attempt < kAttemptsPerRound && answer->empty(); ++attempt) {
      const ApiResult result = connection.GetAlbumPhotos(userName, userPass, userId, albumId);
      if (result.Ok()) {
        *answer = result.value;
      } else if (result.errorCode == "1") {
        imageServerUnavailable = true;
        break;
      }
    }
    dialogs.HideWait();
    if (!answer->empty()) return Fetch::kOk;
    if (imageServerUnavailable) {
      dialogs.ShowMessage(Text("msgImgServerUnavail"), MessageKind::kWarning);
      return Fetch::kGaveUp;
    }
    if (dialogs.ShowMessage(Text("msgLoadingErrorRetry"), MessageKind::kError,
                            MessageButtons::kYesNo) != Reply::kYes) {
      return Fetch::kGaveUp;
    }
  }
}

// Availability of the item's local file, after moving it to the re-pointed folder.
void LocateLocalFile(CAlbum& album, CPhoto& item) {
  item.localFileAvailable = item.LocalFileTime() >= 0;
  if (album.folderMoved && item.RebasePath(album.previousLocalPath, album.localPath)) {
    item.localFileAvailable = item.LocalFileTime() >= 0;
  }
}

void CopyAddresses(const CAlbum& album, CPhoto& item) {
  item.photosUrl = album.photosUrl;
  item.videosUrl = album.videosUrl;
}

void RefreshVideo(const CAlbum& album, CPhoto& item) {
  if (item.isVideo && item.localFileAvailable) {
    QuickProbeVideo(album.env.videoProber, item.video, item.localPath);
  }
}

std::vector<std::string> PhotoElements(const std::string& answer) {
  return GetElements(GetElement(answer, "photos"), "photo");
}

void BuildFromAnswer(CAlbum& album, const std::string& answer) {
  for (const std::string& xml : PhotoElements(answer)) {
    auto item = std::make_unique<CPhoto>();
    item->FromXml(xml);
    LocateLocalFile(album, *item);
    RefreshVideo(album, *item);
    CopyAddresses(album, *item);
    album.items.push_back(std::move(item));
  }
}

// The listed file an item without a stored path stands for. The service knows the item by its
// server name: first the file of exactly that name; else, for a photo whose file is not named
// ".jpg" there (x.HEIC, x.png, x.JPG), the one file not yet taken whose server name it is.
class FolderMatch {
 public:
  explicit FolderMatch(const std::vector<FolderEntry>& listing) {
    // Service names are looked up among the folder's names made safe the same way; the first of
    // two files that fold to one name is the one found.
    for (const FolderEntry& file : listing) {
      byLocalName_.emplace(MakeLocalName(file.name), file.path);
      const std::string serverName = MakeServerFileName(file.name);
      if (serverName != MakeLocalName(file.name)) byServerName_[serverName].push_back(&file);
    }
  }

  const std::string* Exact(const std::string& fileName) const {
    const auto found = byLocalName_.find(fileName);
    return found == byLocalName_.end() ? nullptr : &found->second;
  }

  const std::string* ByServerName(const std::string& fileName,
                                  const std::set<std::string>& usedNames,
                                  const std::set<std::string>& usedPaths) const {
    const auto found = byServerName_.find(fileName);
    if (found == byServerName_.end()) return nullptr;
    const std::string* match = nullptr;
    for (const FolderEntry* file : found->second) {
      if (usedNames.count(file->name) || usedPaths.count(file->path)) continue;
      if (match != nullptr) return nullptr;  // two candidates: neither is certain
      match = &file->path;
    }
    return match;
  }

 private:
  std::map<std::string, std::string> byLocalName_;
  std::map<std::string, std::vector<const FolderEntry*>> byServerName_;
};

void MergeWithFolder(CAlbum& album, const std::string& answer) {
  const std::vector<FolderEntry> listing =
      ScanFolder(album.localPath, album.env.videoSupport, &album.leftOut);
  const FolderMatch match(listing);

  std::set<std::string> usedNames;
  std::set<std::string> usedPaths;
  int highestIndex = 0;
  const size_t firstItem = album.items.size();
  for (const std::string& xml : PhotoElements(answer)) {
    auto item = std::make_unique<CPhoto>();
    item->FromXml(xml);
    if (album.folderMoved) {
      item->localFileAvailable = item->LocalFileTime() >= 0;
      item->RebasePath(album.previousLocalPath, album.localPath);
    }
    highestIndex = std::max(highestIndex, item->index);
    if (!item->localPath.empty()) {
      usedNames.insert(FileNameOfPath(item->localPath));
    } else if (const std::string* path = match.Exact(item->fileName)) {
      item->localPath = *path;
      usedPaths.insert(*path);
    }
    album.items.push_back(std::move(item));
  }
  // Matched by server name only once every stored path and exact name has taken its file.
  for (size_t i = firstItem; i < album.items.size(); ++i) {
    CPhoto& item = *album.items[i];
    if (item.localPath.empty()) {
      if (const std::string* path = match.ByServerName(item.fileName, usedNames, usedPaths)) {
        item.localPath = *path;
        usedPaths.insert(*path);
      } else {
        item.localPath = album.localPath + "/" + item.fileName;
        usedNames.insert(item.fileName);
      }
    }
    item.localFileAvailable = item.LocalFileTime() >= 0;
    CopyAddresses(album, item);
    RefreshVideo(album, item);
  }

  for (const FolderEntry& file : listing) {
    if (usedNames.count(file.name) || usedPaths.count(file.path)) continue;
    CZervaVideo video;
    const DetectedType type = DetectType(file.path, album.env, &video);
    if (type.format == -1) {
      album.leftOut.push_back({file.name, type.refusal, type.otherFormat});
      continue;
    }
    auto item = std::make_unique<CPhoto>();
    item->imageFormat = type.format;
    item->fileName = MakeServerFileName(file.name);
    MakeUniqueFileName(album, &item->fileName);
    item->localPath = file.path;
    item->index = ++highestIndex;
    item->isVideo = type.isVideo;
    if (type.isVideo) {
      item->video = std::move(video);
      item->video.videoChanged = true;
    }
    item->hasWatermark = !type.isVideo && album.defaultWatermark;
    item->included = false;  // until the user includes it
    CopyAddresses(album, *item);
    album.items.push_back(std::move(item));
  }
  SortLeftOut(album.leftOut);
}

struct Damage {
  std::vector<CPhoto*> items;  // owned by the album, which keeps them while it asks
  int withLocalFile = 0;
  std::string names;
};

// Compares the items with the files the service holds. When the listing cannot be had nothing
// is marked: an unknown state is no damage.
Damage CheckDamage(CAlbum& album, CHttpConnect& connection, int albumId,
                   const std::string& userName, const std::string& userPass, int userId) {
  Damage damage;
  const ApiResult listed = connection.GetUploadedFiles(userName, userPass, userId, album.serverDir);
  if (!listed.Ok()) {
    Trace(kTraceWarning, 0, "LoadFromServer: GetUploadedFiles failed: %s\n",
          listed.message.c_str());
    return damage;
  }
  const UploadedFiles files = ParseUploadedFiles(listed.value);
  ApplyUploadedSizes(album, files);
  const ApiResult missing = connection.GetMissingVideos(userName, userPass, albumId);
  const std::set<std::string> missingVideos =
      missing.Ok() ? ParseMissingVideos(missing.value) : std::set<std::string>();
  for (const auto& item : album.items) {
    if (!IsDamaged(*item, files, missingVideos)) continue;
    damage.items.push_back(item.get());
    if (item->localFileAvailable) ++damage.withLocalFile;
    if (!damage.names.empty()) damage.names += ", ";
    damage.names += item->fileName;
    item->needsUpload = true;
    album.modified = true;
    if (item->isVideo && missingVideos.count(item->fileName)) {
      item->video.videoChanged = true;
      if (item->localFileAvailable) {
        ProbeVideo(album.env.videoProber, item->video, item->localPath);
      }
    }
  }
  return damage;
}

// The three-way question about damaged items. Its choices are given to the buttons Yes (leave
// them out), No (upload them again; offered only when every damaged file is still on the disk)
// and Cancel (leave the album as loaded). Returns the load result.
int AskAboutDamage(CAlbum& album, Dialogs& dialogs, const Damage& damage) {
  const size_t count = damage.items.size();
  const bool canUploadAgain = static_cast<size_t>(damage.withLocalFile) == count;
  std::string text = Text("msgCorruptedAlbum1") + " " + std::to_string(count) +
                     Text("msgCorruptedAlbum2") + "\n\n" + Text("msgCorruptedOption1") + "\n";
  if (canUploadAgain) text += Text("msgCorruptedOption2") + "\n";
  text += Text("msgCorruptedOption3");
  const Reply reply =
      dialogs.ShowMessage(text, MessageKind::kWarning, MessageButtons::kYesNoCancel);
  if (reply == Reply::kYes) {
    for (CPhoto* item : damage.items) item->included = false;
    album.modified = true;
    return 2;
  }
  if (reply == Reply::kNo && canUploadAgain) return 2;
  return 1;
}

int DerivedResolution(const CAlbum& album) {
  int r = 700;
  bool sized = false;
  for (const auto& item : album.items) {
    // A video's frame says nothing of the size the album's photos were sent in.
    if (!item->included || item->IsVideo()) continue;
    r = std::max({r, item->width, item->height});
    sized = sized || item->width > 0 || item->height > 0;
  }
  // No photo of the album has reached the service yet (an upload that stopped right after the
  // album was made, or after its videos): there is nothing to keep, and the user's resolution
  // applies as it did when the album was made, not the smallest size.
  if (!sized) return album.env.PhotoResolution(album.albumCategory);
  if (r > 1400) return std::max(1400, album.env.PhotoResolution(album.albumCategory));
  if (r > 1200) return 1400;
  if (r > 700) return 1200;
  return 700;
}

}  // namespace

int CAlbum::LoadFromServer(CHttpConnect& connection, Dialogs& dialogs, int albumId,
                           const std::string& userName, const std::string& userPass, int userId,
                           CAlbum* listEntry) {
  std::string answer;
  if (FetchPhotos(connection, dialogs, albumId, userName, userPass, userId, &answer) !=
      Fetch::kOk) {
    items.clear();
    return 0;
  }
  rawPhotosXml = answer;
  if (listEntry) listEntry->rawPhotosXml = answer;
  tempFolder = TempFolder() + userName + "/";

  items.clear();
  leftOut.clear();
  if (DirectoryExists(localPath)) {
    MergeWithFolder(*this, answer);
  } else {
    BuildFromAnswer(*this, answer);
  }
  modified = folderMoved;
  folderMoved = false;
  DropOrphanItems();

  const Damage damage = CheckDamage(*this, connection, albumId, userName, userPass, userId);
  if (!damage.items.empty()) {
    Trace(kTraceWarning, static_cast<int>(damage.names.size()) + 32,
          "LoadFromServer: %zu damaged items: %s\n", damage.items.size(), damage.names.c_str());
    if (listEntry) listEntry->modified = true;
  }
  if (!pendingFiles.empty()) AddFiles(*this, dialogs);
  MarkChangedItems();

  int result = 1;
  if (!damage.items.empty()) result = AskAboutDamage(*this, dialogs, damage);
  SetMaxSizeImage(DerivedResolution(*this));
  return result;
}

}  // namespace zerva
