#include "ui/album_cover_loader.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

#include "app/trace.h"
#include "model/album.h"
#include "model/album_cover.h"
#include "model/album_mngr.h"
#include "net/http_connect.h"
#include "net/http_mngr.h"
#include "platform/fs.h"

namespace zerva {
namespace {

// A folder on another computer: the two leading backslashes that the album list turns into
// slashes.
bool IsNetworkPath(const std::string& path) {
  return path.rfind("//", 0) == 0 || path.rfind("\\\\", 0) == 0;
}

bool NeedsDownload(const AlbumCover& cover) {
  return cover.state == kCoverNotLoaded || cover.state == kCoverFromCache;
}

}  // namespace

AlbumCoverLoader::AlbumCoverLoader(CAlbumMngr& albums, std::shared_ptr<CHttpMngr> connections,
                                   UiThread& ui, ChangedNotice onChanged)
    : CTarvikThread([this](const std::shared_ptr<void>&) { Run(); }, "AlbumCovers",
                    kThreadPriorityBelowNormal),
      albums_(albums),
      connections_(std::move(connections)),
      onChanged_(std::move(onChanged)),
      alive_(std::make_shared<bool>(true)) {
  // The waits of Stop deliver what the loader posts meanwhile.
  SetUiThread(&ui);
  window_ = ui.MakeWindow([this, alive = alive_](const WindowMessage& message) -> MessageParam {
    if (*alive && message.id == kMsgAlbumCoverChanged && onChanged_) {
      onChanged_(static_cast<int>(message.lParam));
    }
    return 0;
  });
}

AlbumCoverLoader::~AlbumCoverLoader() {
  *alive_ = false;
  // The thread uses this object's members: it must have returned before they go. It checks
  // its stop request between albums and the transfers poll it, so this is short in practice.
  while (IsRunning()) {
    if (!StopAndWait(kCoverLoaderStopWait)) {
      TraceText(kTraceWarning, "AlbumCovers: still waiting for the loader to return");
    }
  }
}

bool AlbumCoverLoader::StartLoading() {
  return Start();
}

bool AlbumCoverLoader::Stop() {
  const bool stopped = StopAndWait(kCoverLoaderStopWait) && !IsRunning();
  if (!stopped) {
    Trace(kTraceWarning, 0, "AlbumCovers: the loader did not stop within %lld s\n",
          static_cast<long long>(kCoverLoaderStopWait.count()));
  }
  return stopped;
}

void AlbumCoverLoader::Request(int albumId) {
  {
    std::lock_guard<std::mutex> list(albums_.ListLock());
    const CAlbum* album = albums_.FindById(albumId);
    if (album == nullptr || album->coverSmall.state != kCoverNotLoaded) return;
  }
  std::lock_guard<std::recursive_mutex> lock(lock_);
  if (std::find(requests_.begin(), requests_.end(), albumId) == requests_.end()) {
    requests_.push_back(albumId);
  }
}

void AlbumCoverLoader::ClearRequests() {
  std::lock_guard<std::recursive_mutex> lock(lock_);
  requests_.clear();
}

void AlbumCoverLoader::Run() {
  if (connections_) connection_ = connections_->GetConnection();
  if (connection_) {
    if (TakeCachedCovers() && LoadCovers(false) && CheckNetworkFolders()) LoadCovers(true);
    connections_->ReleaseConnection(connection_);
  }
}

bool AlbumCoverLoader::TakeCachedCovers() {
  std::vector<int> found;
  {
    std::lock_guard<std::mutex> list(albums_.ListLock());
    for (const auto& album : albums_.albums) {
      if (!ShouldContinue()) return false;
      if (album->coverSmall.state != kCoverNotLoaded) continue;
      bool taken = false;
      for (const bool large : {false, true}) {
        AlbumCover& cover = large ? album->coverLarge : album->coverSmall;
        if (cover.state != kCoverNotLoaded) continue;
        if (ImagePtr cached = albums_.CachedCover(album->albumID, large)) {
          cover = {std::move(cached), kCoverFromCache};
          taken = true;
        }
      }
      if (taken) found.push_back(album->albumID);
    }
  }
  for (const int albumId : found) Post(albumId);
  return ShouldContinue();
}

bool AlbumCoverLoader::LoadCovers(bool large) {
  if (!large && !ServeRequests()) return false;
  std::vector<int> wanted;
  {
    std::lock_guard<std::mutex> list(albums_.ListLock());
    for (const auto& album : albums_.albums) {
      if (NeedsDownload(large ? album->coverLarge : album->coverSmall)) {
        wanted.push_back(album->albumID);
      }
    }
  }
  for (const int albumId : wanted) {
    // What the user looks at comes first, also while the sweep goes on.
    if (!ServeRequests()) return false;
    LoadCover(albumId, large);
  }
  return ShouldContinue();
}

bool AlbumCoverLoader::ServeRequests() {
  while (ShouldContinue()) {
    int albumId = 0;
    {
      std::lock_guard<std::recursive_mutex> lock(lock_);
      if (requests_.empty()) return true;
      albumId = requests_.front();
      requests_.pop_front();
    }
    LoadCover(albumId, false);
  }
  return false;
}

void AlbumCoverLoader::LoadCover(int albumId, bool large) {
  if (!ShouldContinue()) return;
  // What the address is made of, copied so that no record is read while the transfer runs.
  CAlbum source;
  {
    std::lock_guard<std::mutex> list(albums_.ListLock());
    const CAlbum* album = albums_.FindById(albumId);
    if (album == nullptr || !NeedsDownload(large ? album->coverLarge : album->coverSmall)) return;
    source.albumID = album->albumID;
    source.ownerName = album->ownerName;
    source.serverDir = album->serverDir;
    source.photosUrl = album->photosUrl;
    source.thumbName = album->thumbName;
  }
  ImagePtr image = DownloadCover(source, *connection_, large, StopFlag());
  // A stop may have cut the transfer short: no reason to give the cover up for good.
  if (image == nullptr && !ShouldContinue()) return;
  {
    std::lock_guard<std::mutex> list(albums_.ListLock());
    CAlbum* album = albums_.FindById(albumId);
    if (album == nullptr) return;  // deleted meanwhile
    AlbumCover& cover = large ? album->coverLarge : album->coverSmall;
    if (image != nullptr) {
      cover = {image, kCoverDownloaded};
    } else {
      // Never tried again; a picture the cache gave stays shown.
      cover.state = kCoverFailed;
    }
  }
  if (image == nullptr) {
    if (!source.thumbName.empty()) {
      TraceText(kTraceWarning, "AlbumCovers: no cover for album " + std::to_string(albumId) + ": " +
                                   CoverUrl(source, large));
    }
    return;
  }
  albums_.StoreCover(albumId, large, std::move(image));
  Post(albumId);
}

bool AlbumCoverLoader::CheckNetworkFolders() {
  std::vector<std::pair<int, std::string>> folders;
  {
    std::lock_guard<std::mutex> list(albums_.ListLock());
    for (const auto& album : albums_.albums) {
      if (album->coverSmall.image == nullptr && IsNetworkPath(album->localPath)) {
        folders.emplace_back(album->albumID, album->localPath);
      }
    }
  }
  for (const auto& [albumId, folder] : folders) {
    if (!ShouldContinue()) return false;
    // May take long for a computer that does not answer: outside the lock.
    const bool exists = DirectoryExists(folder);
    {
      std::lock_guard<std::mutex> list(albums_.ListLock());
      CAlbum* album = albums_.FindById(albumId);
      if (album == nullptr || album->localPath != folder) continue;
      album->localFolderExists = exists;
    }
    Post(albumId);
  }
  return ShouldContinue();
}

void AlbumCoverLoader::Post(int albumId) {
  PostTo(window_.get(), kMsgAlbumCoverChanged, 0, albumId);
}

}  // namespace zerva
