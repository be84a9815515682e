#include "server/album_store.h"

#include <filesystem>

#include "app/elements.h"
#include "platform/fs.h"
#include "server/clock.h"

namespace zerva::server {
namespace {

constexpr const char* kAlbumColumns =
    "SELECT id, user_id, server_dir, settings, uploading, create_date, update_date FROM albums ";
constexpr const char* kPhotoColumns =
    "SELECT p.id, p.album_id, p.file_name, p.xml, p.idx, p.is_video, v.video_xml, "
    "v.album_id IS NOT NULL FROM photos p "
    "LEFT JOIN videos v ON v.album_id = p.album_id AND v.file_name = p.file_name ";

long long L(int64_t v) {
  return static_cast<long long>(v);
}

Album AlbumFromRow(const SqlRow& r) {
  Album a;
  a.id = r[0].Int();
  a.userId = r[1].Int();
  a.serverDir = r[2].Text();
  a.settings = r[3].Text();
  a.uploading = static_cast<int>(r[4].Int());
  a.createDate = r[5].Text();
  a.updateDate = r[6].Text();
  return a;
}

PhotoRecord PhotoFromRow(const SqlRow& r) {
  PhotoRecord p;
  p.id = r[0].Int();
  p.albumId = r[1].Int();
  p.fileName = r[2].Text();
  p.xml = r[3].Text();
  p.index = r[4].Int();
  p.isVideo = r[5].Int() != 0;
  p.videoXml = r[6].Text();
  p.hasVideoFile = r[7].Int() != 0;
  return p;
}

}  // namespace

std::optional<Album> FindAlbum(Db& db, int64_t userId, int64_t albumId) {
  auto row = db.QueryOne(std::string(kAlbumColumns) + "WHERE id = ? AND user_id = ?",
                         {L(albumId), L(userId)});
  if (!row) return std::nullopt;
  return AlbumFromRow(*row);
}

std::optional<Album> FindAlbumByDir(Db& db, int64_t userId, const std::string& serverDir) {
  auto row = db.QueryOne(std::string(kAlbumColumns) + "WHERE user_id = ? AND server_dir = ?",
                         {L(userId), serverDir});
  if (!row) return std::nullopt;
  return AlbumFromRow(*row);
}

std::vector<Album> UserAlbums(Db& db, int64_t userId) {
  std::vector<Album> out;
  for (const SqlRow& r :
       db.Query(std::string(kAlbumColumns) + "WHERE user_id = ? ORDER BY id", {L(userId)}))
    out.push_back(AlbumFromRow(r));
  return out;
}

std::vector<PhotoRecord> AlbumPhotos(Db& db, int64_t albumId) {
  std::vector<PhotoRecord> out;
  for (const SqlRow& r : db.Query(
           std::string(kPhotoColumns) + "WHERE p.album_id = ? ORDER BY p.idx, p.id", {L(albumId)}))
    out.push_back(PhotoFromRow(r));
  return out;
}

std::optional<PhotoRecord> FindPhotoByName(Db& db, int64_t albumId, const std::string& fileName) {
  auto row = db.QueryOne(std::string(kPhotoColumns) + "WHERE p.album_id = ? AND p.file_name = ?",
                         {L(albumId), fileName});
  if (!row) return std::nullopt;
  return PhotoFromRow(*row);
}

std::optional<PhotoRecord> FindUserPhoto(Db& db, int64_t userId, int64_t photoId) {
  auto row = db.QueryOne(std::string(kPhotoColumns) +
                             "JOIN albums a ON a.id = p.album_id WHERE p.id = ? AND a.user_id = ?",
                         {L(photoId), L(userId)});
  if (!row) return std::nullopt;
  return PhotoFromRow(*row);
}

int64_t UpsertPhoto(Db& db, int64_t albumId, const std::string& fileName, const std::string& xml) {
  if (auto existing = FindPhotoByName(db, albumId, fileName)) {
    if (!xml.empty() && !SetPhotoXml(db, existing->id, xml)) return 0;
    return existing->id;
  }
  if (!db.Exec("INSERT INTO photos(album_id, file_name, xml, idx, is_video) VALUES(?, ?, ?, ?, ?)",
               {L(albumId), fileName, xml, L(GetElementInt(xml, "index")), PhotoIsVideo(xml)}))
    return 0;
  return db.LastInsertId();
}

bool SetPhotoXml(Db& db, int64_t photoId, const std::string& xml) {
  return db.Exec("UPDATE photos SET xml = ?, idx = ?, is_video = ? WHERE id = ?",
                 {xml, L(GetElementInt(xml, "index")), PhotoIsVideo(xml), L(photoId)});
}

bool UpdateListedPhotos(Db& db, int64_t albumId, const std::vector<std::string>& photos) {
  for (const std::string& xml : photos) {
    const std::string name = PhotoFileName(xml);
    if (name.empty()) continue;
    auto existing = FindPhotoByName(db, albumId, name);
    if (existing && !SetPhotoXml(db, existing->id, xml)) return false;
  }
  return true;
}

std::vector<PhotoRecord> UnlistedPhotos(Db& db, int64_t albumId,
                                        const std::vector<std::string>& photos) {
  std::set<std::string> listed;
  for (const std::string& xml : photos) listed.insert(PhotoFileName(xml));
  std::vector<PhotoRecord> out;
  for (PhotoRecord& p : AlbumPhotos(db, albumId)) {
    if (!listed.count(p.fileName)) out.push_back(std::move(p));
  }
  return out;
}

bool DeletePhotoRecord(Db& db, const Album& album, const PhotoRecord& photo) {
  return db.Exec("DELETE FROM photos WHERE id = ?", {L(photo.id)}) &&
         db.Exec("DELETE FROM videos WHERE album_id = ? AND file_name = ?",
                 {L(album.id), photo.fileName});
}

void DeletePhotoFiles(const Storage& storage, const Album& album, const PhotoRecord& photo) {
  std::error_code ec;
  for (const char* sub : {"images", "hdimages", "thumb", "diff"}) {
    std::filesystem::remove(storage.AlbumFile(album.userId, album.serverDir, sub, photo.fileName),
                            ec);
  }
  std::filesystem::remove(storage.VideoFile(album.userId, album.serverDir, photo.fileName), ec);
}

bool DeleteAlbumRecords(Db& db, const Album& album, std::vector<int64_t>* videoFiles) {
  videoFiles->clear();
  for (const SqlRow& r : db.Query("SELECT id FROM video_files WHERE user_id = ? AND directory = ? "
                                  "AND unknown = 0",
                                  {L(album.userId), album.serverDir}))
    videoFiles->push_back(r[0].Int());
  return db.Exec("DELETE FROM video_files WHERE user_id = ? AND directory = ? AND unknown = 0",
                 {L(album.userId), album.serverDir}) &&
         db.Exec("DELETE FROM albums WHERE id = ?", {L(album.id)});
}

void DeleteAlbumFiles(const Storage& storage, const Album& album,
                      const std::vector<int64_t>& videoFiles) {
  for (int64_t id : videoFiles) DeleteDirectoryTree(storage.BlockFolder(id));
  DeleteDirectoryTree(storage.AlbumFolder(album.userId, album.serverDir));
}

bool StoreAlbumSettings(Db& db, int64_t albumId, const std::string& settings, int uploading) {
  return db.Exec("UPDATE albums SET settings = ?, uploading = ?, update_date = ? WHERE id = ?",
                 {settings, uploading, NowText(), L(albumId)});
}

std::string PhotoFileName(const std::string& photoXml) {
  return GetElement(photoXml, "fileName");
}

bool PhotoIsVideo(const std::string& photoXml) {
  return GetElement(photoXml, "type") == "video" || GetElementFlag(photoXml, "isVideo", false);
}

std::optional<std::vector<std::string>> ListedPhotos(const std::string& albumXml) {
  bool found = false;
  const std::string photos = GetElement(albumXml, "photos", &found);
  if (!found) return std::nullopt;
  return GetElements(photos, "photo");
}

}  // namespace zerva::server
