// The signed-in user's albums as the service lists them (GetAlbums), without items, with the
// caches of their cover images.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "model/album.h"

namespace zerva {

// Keys of the album list's sort menu.
inline constexpr int kAlbumSortName = 0;
inline constexpr int kAlbumSortCreated = 1;
inline constexpr int kAlbumSortModified = 2;
inline constexpr int kAlbumSortPhotoCount = 3;
inline constexpr int kAlbumSortSize = 4;
inline constexpr int kAlbumSortDateFrom = 5;
inline constexpr int kAlbumSortDateTo = 6;

// The answer of a user without albums.
inline constexpr const char* kNoAlbumsAnswer = "<NoAlbums>";

class CAlbumMngr {
 public:
  explicit CAlbumMngr(AlbumEnvironment environment = {});
  CAlbumMngr(const CAlbumMngr&) = delete;
  CAlbumMngr& operator=(const CAlbumMngr&) = delete;

  // What new list entries are filled with (the signed-in user, the photo parameters).
  void SetEnvironment(AlbumEnvironment environment);

  // Replaces the list by the albums of a GetAlbums value ("<NoAlbums>" counts as none); entries
  // without a positive albumID are dropped.
  void Sync(std::string_view answer);
  // Frees all albums, under the list's lock.
  void Clear();
  // Frees the album `albumID`, under the list's lock; false when it is not in the list.
  bool Remove(int albumID);
  // Held by whoever changes the list and by a worker that touches a record (the cover loader):
  // a worker finds its record again by identifier under the lock and never keeps a pointer to
  // it beyond that.
  std::mutex& ListLock() const { return lock_; }

  CAlbum* FindById(int albumID) const;
  // serverDir compared ignoring case; the album `exceptID` is never found.
  CAlbum* FindByServerDir(std::string_view serverDir, int exceptID) const;
  // name compared exactly.
  CAlbum* FindByName(std::string_view name, int exceptID) const;
  // Another album on the service already uses the directory (or the name).
  bool IsServerDirTaken(std::string_view serverDir, int albumID) const;
  bool IsNameTaken(std::string_view name, int albumID) const;

  ImagePtr CachedCover(int albumID, bool large) const;
  void StoreCover(int albumID, bool large, ImagePtr image);
  void DropCover(int albumID, bool large);

  // In answer order.
  std::vector<std::unique_ptr<CAlbum>> albums;

 private:
  mutable std::mutex lock_;  // held by Sync while it rebuilds the list
  AlbumEnvironment env_;
  mutable std::mutex coverLock_;  // the cover loader reads the caches from its thread
  std::map<int, ImagePtr> smallCovers_;
  std::map<int, ImagePtr> largeCovers_;
};

// The text an album is sorted by under `key`: the name without HTML, the dates, the photo
// count padded to 6 digits, the size padded to 9; empty for a missing album.
std::string AlbumSortValue(const CAlbum* album, int key);
// b's value against a's, ignoring case: positive when b's is larger; negated with `ascending`.
int CompareAlbums(const CAlbum* a, const CAlbum* b, int key, bool ascending);

}  // namespace zerva
