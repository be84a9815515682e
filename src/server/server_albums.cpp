// The album commands of command.php: GetAlbums, CreateAlbum, ExistAlbum, EmptyAlbum,
// SetAlbumUploading, DeleteAlbum, GetAlbumPhotos.
#include <filesystem>

#include "app/elements.h"
#include "platform/fs.h"
#include "server/accounts.h"
#include "server/album_store.h"
#include "server/album_xml.h"
#include "server/answers.h"
#include "server/clock.h"
#include "server/limits.h"
#include "server/names.h"
#include "server/script_groups.h"

namespace zerva::server {
namespace {

long long L(int64_t v) {
  return static_cast<long long>(v);
}

ServerResponse AlbumNotFound() {
  return Refuse("Album not found", kErrNotFound);
}

// The album XML of a request: its <album> content, which must be balanced.
bool ReadAlbumXml(const ServerRequest& req, std::string* album, ServerResponse* refusal) {
  const std::string text = req.Field("albumSetting");
  if (text.size() > kMaxTextFieldBytes) {
    *refusal = Refuse("Album setting too large", kErrTooLarge);
    return false;
  }
  bool found = false;
  *album = GetElement(text, "album", &found);
  if (!found) {
    *refusal = Refuse("Invalid album setting: no album element", kErrBadRequest);
    return false;
  }
  return true;
}

bool ReadId(const ServerRequest& req, const char* name, int64_t* id) {
  long long v = 0;
  if (!ParseInt64(req.Field(name), &v) || v <= 0) return false;
  *id = v;
  return true;
}

ServerResponse UsedSizeAnswer(ScriptContext& ctx, const User& user) {
  return Ok(MakeElement("usedSize", ClampToInt32(ctx.storage().UsedBytes(user.id))));
}

ServerResponse GetAlbums(ScriptContext& ctx) {
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  if (!UserIdMatches(*user, ctx.req)) return Refuse("Access denied", kErrAuth);
  long long only = 0;
  if (ctx.req.HasField("albumID") && !ParseInt64(ctx.req.Field("albumID"), &only))
    return Refuse("Invalid album identifier", kErrBadRequest);
  std::string value;
  for (const Album& album : UserAlbums(db, user->id)) {
    if (only > 0 && album.id != only) continue;
    value += AlbumElement(ctx.service, user->name, album);
  }
  return Ok(value.empty() ? "<NoAlbums>" : value);
}

ServerResponse CreateAlbum(ScriptContext& ctx) {
  const std::string serverDir = ctx.req.Field("serverDir");
  if (!IsSafeName(serverDir)) return Refuse("Invalid album directory name", kErrBadName);
  std::string album;
  ServerResponse refusal;
  if (!ReadAlbumXml(ctx.req, &album, &refusal)) return refusal;
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  if (FindAlbumByDir(db, user->id, serverDir)) {
    return Refuse("Album directory already used: " + serverDir, kErrExists);
  }
  const std::string now = NowText();
  if (!db.Exec("INSERT INTO albums(user_id, server_dir, settings, uploading, create_date, "
               "update_date) VALUES(?, ?, ?, 1, ?, ?)",
               {L(user->id), serverDir, RemoveElement(album, "photos"), now, now}))
    return Refuse("Cannot create album", kErrInternal);
  const int64_t id = db.LastInsertId();
  std::string error;
  if (!CreateDirectoryPath(ctx.storage().AlbumFolder(user->id, serverDir), &error)) {
    db.Exec("DELETE FROM albums WHERE id = ?", {L(id)});
    return Refuse("Cannot create album folder", kErrInternal);
  }
  return Ok(std::to_string(id));
}

ServerResponse ExistAlbum(ScriptContext& ctx) {
  const std::string serverDir = ctx.req.Field("serverDir");
  if (!IsSafeName(serverDir)) return Refuse("Invalid album directory name", kErrBadName);
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  std::optional<Album> album = FindAlbumByDir(db, user->id, serverDir);
  if (!album) return AlbumNotFound();
  return Ok(std::to_string(album->id));
}

// EmptyAlbum stores the settings and drops the photos the list no longer names;
// SetAlbumUploading stores them and the uploading mark. Both refresh the listed photo records.
ServerResponse StoreAlbum(ScriptContext& ctx, bool emptying) {
  int64_t albumId = 0;
  if (!ReadId(ctx.req, "albumID", &albumId))
    return Refuse("Invalid album identifier", kErrBadRequest);
  long long uploading = 1;
  if (!emptying && !ParseInt64(ctx.req.Field("uploading"), &uploading))
    return Refuse("Invalid uploading value", kErrBadRequest);
  std::string album;
  ServerResponse refusal;
  const bool hasXml = !ctx.req.Field("albumSetting").empty();
  if ((emptying || hasXml) && !ReadAlbumXml(ctx.req, &album, &refusal)) return refusal;
  std::optional<std::vector<std::string>> listed;
  if (emptying || hasXml) {
    listed = ListedPhotos(album);
    // Without a photo list nothing can tell which photos stay; never guess and delete.
    if (emptying && !listed)
      return Refuse("Invalid album setting: no photos element", kErrBadRequest);
    if (listed && listed->size() > kMaxPhotosPerAlbum)
      return Refuse("Too many photos", kErrTooLarge);
  }

  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  std::optional<Album> stored = FindAlbum(db, user->id, albumId);
  if (!stored) return AlbumNotFound();

  std::vector<PhotoRecord> removed;
  Transaction tx(db);
  bool ok = tx.ok();
  const std::string settings =
      hasXml || emptying ? RemoveElement(album, "photos") : stored->settings;
  ok = ok && StoreAlbumSettings(db, albumId, settings, static_cast<int>(emptying ? 1 : uploading));
  if (ok && listed) ok = UpdateListedPhotos(db, albumId, *listed);
  if (ok && emptying) {
    removed = UnlistedPhotos(db, albumId, *listed);
    for (const PhotoRecord& p : removed) ok = ok && DeletePhotoRecord(db, *stored, p);
  }
  if (!ok || !tx.Commit()) return Refuse("Cannot store album", kErrInternal);
  for (const PhotoRecord& p : removed) DeletePhotoFiles(ctx.storage(), *stored, p);
  return UsedSizeAnswer(ctx, *user);
}

ServerResponse EmptyAlbum(ScriptContext& ctx) {
  return StoreAlbum(ctx, true);
}
ServerResponse SetAlbumUploading(ScriptContext& ctx) {
  return StoreAlbum(ctx, false);
}

ServerResponse DeleteAlbum(ScriptContext& ctx) {
  int64_t albumId = 0;
  if (!ReadId(ctx.req, "albumID", &albumId))
    return Refuse("Invalid album identifier", kErrBadRequest);
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  std::optional<Album> album = FindAlbum(db, user->id, albumId);
  if (!album) return AlbumNotFound();
  std::vector<int64_t> videoFiles;
  Transaction tx(db);
  if (!tx.ok() || !DeleteAlbumRecords(db, *album, &videoFiles) || !tx.Commit())
    return Refuse("Cannot delete album", kErrInternal);
  DeleteAlbumFiles(ctx.storage(), *album, videoFiles);
  return UsedSizeAnswer(ctx, *user);
}

ServerResponse GetAlbumPhotos(ScriptContext& ctx) {
  int64_t albumId = 0;
  if (!ReadId(ctx.req, "albumID", &albumId))
    return Refuse("Invalid album identifier", kErrBadRequest);
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  if (!UserIdMatches(*user, ctx.req)) return Refuse("Access denied", kErrAuth);
  if (!FindAlbum(db, user->id, albumId)) return AlbumNotFound();
  std::string value = "<photos>\n";
  for (const PhotoRecord& p : AlbumPhotos(db, albumId)) value += PhotoElement(p);
  value += "</photos>";
  return Ok(value);
}

}  // namespace

void RegisterAlbumScripts(Router& router) {
  router.AddScript("command.php", [](ScriptContext& ctx) {
    const std::string command = ctx.req.Field("command");
    return Refuse(command.empty() ? "Missing command" : "Unknown command: " + command,
                  kErrUnknownCommand);
  });
  router.AddCommand("GetAlbums", GetAlbums);
  router.AddCommand("CreateAlbum", CreateAlbum);
  router.AddCommand("ExistAlbum", ExistAlbum);
  router.AddCommand("EmptyAlbum", EmptyAlbum);
  router.AddCommand("SetAlbumUploading", SetAlbumUploading);
  router.AddCommand("DeleteAlbum", DeleteAlbum);
  router.AddCommand("GetAlbumPhotos", GetAlbumPhotos);
}

}  // namespace zerva::server
