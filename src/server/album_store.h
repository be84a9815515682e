// Albums and their photo records in the database, and the files that belong to them. Every
// lookup is scoped to the owner, so one user can never reach another user's album. The
// database lock must be held for all of these.
#pragma once

#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "server/server_db.h"
#include "server/storage.h"

namespace zerva::server {

struct Album {
  int64_t id = 0;
  int64_t userId = 0;
  std::string serverDir;
  std::string settings;  // the album XML the client sent last, without its photo list
  int uploading = 0;
  std::string createDate;
  std::string updateDate;
};

struct PhotoRecord {
  int64_t id = 0;
  int64_t albumId = 0;
  std::string fileName;
  std::string xml;  // content of the client's <photo> element
  int64_t index = 0;
  bool isVideo = false;
  std::string videoXml;  // the <video> settings of the last finished video upload
  bool hasVideoFile = false;
};

std::optional<Album> FindAlbum(Db& db, int64_t userId, int64_t albumId);
std::optional<Album> FindAlbumByDir(Db& db, int64_t userId, const std::string& serverDir);
std::vector<Album> UserAlbums(Db& db, int64_t userId);

std::vector<PhotoRecord> AlbumPhotos(Db& db, int64_t albumId);
std::optional<PhotoRecord> FindPhotoByName(Db& db, int64_t albumId, const std::string& fileName);
// A photo of one of the user's albums.
std::optional<PhotoRecord> FindUserPhoto(Db& db, int64_t userId, int64_t photoId);

// The photo's record: inserted when missing, its XML replaced when `xml` is not empty.
// Returns the photo identifier, 0 on failure.
int64_t UpsertPhoto(Db& db, int64_t albumId, const std::string& fileName, const std::string& xml);
bool SetPhotoXml(Db& db, int64_t photoId, const std::string& xml);

// Updates the records of the listed photos (matched by file name; unknown names are skipped).
bool UpdateListedPhotos(Db& db, int64_t albumId, const std::vector<std::string>& photos);
// File names of the records that the list does not name.
std::vector<PhotoRecord> UnlistedPhotos(Db& db, int64_t albumId,
                                        const std::vector<std::string>& photos);
// Removing is two steps so that files go only once the database change is committed.
bool DeletePhotoRecord(Db& db, const Album& album, const PhotoRecord& photo);
void DeletePhotoFiles(const Storage& storage, const Album& album, const PhotoRecord& photo);
// The album's records and pending video uploads; returns the video upload identifiers whose
// block folders DeleteAlbumFiles removes.
bool DeleteAlbumRecords(Db& db, const Album& album, std::vector<int64_t>* videoFiles);
void DeleteAlbumFiles(const Storage& storage, const Album& album,
                      const std::vector<int64_t>& videoFiles);

// Stored settings and the uploading mark; refreshes the update date.
bool StoreAlbumSettings(Db& db, int64_t albumId, const std::string& settings, int uploading);

// The file name a photo XML names, and whether it describes a video.
std::string PhotoFileName(const std::string& photoXml);
bool PhotoIsVideo(const std::string& photoXml);
// The <photo> elements of an album XML; nothing when it has no balanced <photos> element.
std::optional<std::vector<std::string>> ListedPhotos(const std::string& albumXml);

}  // namespace zerva::server
