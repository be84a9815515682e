#include "model/album_mngr.h"

#include <cinttypes>
#include <cstdio>
#include <system_error>

#include "app/elements.h"
#include "app/text_utils.h"
#include "app/trace.h"
#include "model/text_compare.h"

namespace zerva {

CAlbumMngr::CAlbumMngr(AlbumEnvironment environment) : env_(std::move(environment)) {}

void CAlbumMngr::SetEnvironment(AlbumEnvironment environment) {
  env_ = std::move(environment);
}

void CAlbumMngr::Sync(std::string_view answer) {
  std::unique_lock<std::mutex> guard(lock_, std::defer_lock);
  try {
    guard.lock();
  } catch (const std::system_error&) {
    TraceText(kTraceError, "Album Manager: chyba pri synchronizaci");
    return;
  }
  albums.clear();
  if (answer == kNoAlbumsAnswer) answer = {};
  if (answer.empty()) return;
  for (const std::string& xml : GetElements(answer, "album")) {
    auto album = std::make_unique<CAlbum>(env_);
    if (album->FromXml(xml)) albums.push_back(std::move(album));
  }
}

void CAlbumMngr::Clear() {
  std::lock_guard<std::mutex> guard(lock_);
  albums.clear();
}

bool CAlbumMngr::Remove(int albumID) {
  std::lock_guard<std::mutex> guard(lock_);
  return std::erase_if(albums, [albumID](const auto& entry) { return entry->albumID == albumID; }) >
         0;
}

CAlbum* CAlbumMngr::FindById(int albumID) const {
  for (const auto& album : albums) {
    if (album->albumID == albumID) return album.get();
  }
  return nullptr;
}

CAlbum* CAlbumMngr::FindByServerDir(std::string_view serverDir, int exceptID) const {
  for (const auto& album : albums) {
    if (album->albumID != exceptID && EqualsNoCase(album->serverDir, serverDir)) {
      return album.get();
    }
  }
  return nullptr;
}

CAlbum* CAlbumMngr::FindByName(std::string_view name, int exceptID) const {
  for (const auto& album : albums) {
    if (album->albumID != exceptID && album->name == name) return album.get();
  }
  return nullptr;
}

bool CAlbumMngr::IsServerDirTaken(std::string_view serverDir, int albumID) const {
  if (serverDir.empty()) return false;
  const CAlbum* other = FindByServerDir(serverDir, albumID);
  return other != nullptr && other->albumID > 0;
}

bool CAlbumMngr::IsNameTaken(std::string_view name, int albumID) const {
  if (name.empty()) return false;
  const CAlbum* other = FindByName(name, albumID);
  return other != nullptr && other->albumID > 0;
}

ImagePtr CAlbumMngr::CachedCover(int albumID, bool large) const {
  std::lock_guard<std::mutex> guard(coverLock_);
  const auto& covers = large ? largeCovers_ : smallCovers_;
  const auto found = covers.find(albumID);
  return found == covers.end() ? nullptr : found->second;
}

void CAlbumMngr::StoreCover(int albumID, bool large, ImagePtr image) {
  std::lock_guard<std::mutex> guard(coverLock_);
  (large ? largeCovers_ : smallCovers_)[albumID] = std::move(image);
}

void CAlbumMngr::DropCover(int albumID, bool large) {
  std::lock_guard<std::mutex> guard(coverLock_);
  (large ? largeCovers_ : smallCovers_).erase(albumID);
}

std::string AlbumSortValue(const CAlbum* album, int key) {
  if (album == nullptr) return {};
  char padded[32];
  switch (key) {
    case kAlbumSortName:
      return HtmlToText(album->name);
    case kAlbumSortCreated:
      return album->createDate;
    case kAlbumSortModified:
      return album->updateDate;
    case kAlbumSortPhotoCount:
      std::snprintf(padded, sizeof padded, "%06d", album->photoCount);
      return padded;
    case kAlbumSortSize:
      std::snprintf(padded, sizeof padded, "%09" PRId64, album->size);
      return padded;
    case kAlbumSortDateFrom:
      return album->startDateInterval;
    case kAlbumSortDateTo:
      return album->endDateInterval;
    default:
      return {};
  }
}

int CompareAlbums(const CAlbum* a, const CAlbum* b, int key, bool ascending) {
  const int r = CompareNoCase(AlbumSortValue(b, key), AlbumSortValue(a, key));
  const int sign = r < 0 ? -1 : (r > 0 ? 1 : 0);
  return ascending ? -sign : sign;
}

}  // namespace zerva
