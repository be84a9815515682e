// upload.php (UploadFile) and GetUploadedFiles: the photo files of an album.
#include "app/elements.h"
#include "platform/fs.h"
#include "server/accounts.h"
#include "server/album_store.h"
#include "server/answers.h"
#include "server/limits.h"
#include "server/names.h"
#include "server/script_groups.h"

namespace zerva::server {
namespace {

long long L(int64_t v) {
  return static_cast<long long>(v);
}

// Removes the temporary file unless it was moved into place.
class TempFile {
 public:
  explicit TempFile(const Storage& storage) : storage_(storage) {}
  ~TempFile() { storage_.DropTemp(path_); }
  std::string* path() { return &path_; }
  void Release() { path_.clear(); }

 private:
  const Storage& storage_;
  std::string path_;
};

ServerResponse UploadFile(ScriptContext& ctx) {
  const ServerRequest& req = ctx.req;
  std::string serverDir;
  std::string sub;
  if (!SplitUploadDirectory(req.Field("directory"), &serverDir, &sub))
    return Refuse("Invalid directory", kErrBadName);
  long long albumId = 0;
  if (!ParseInt64(req.Field("albumID"), &albumId) || albumId <= 0)
    return Refuse("Invalid album identifier", kErrBadRequest);
  const FormField* file = req.Find("soubor");
  if (!file || !file->isFile) return Refuse("Missing file", kErrBadRequest);
  const std::string fileName = LastPathComponent(file->fileName);
  if (!IsSafeName(fileName)) return Refuse("Invalid file name", kErrBadName);
  const std::string setting = req.Field("setting");
  if (setting.size() > kMaxSettingBytes) return Refuse("Setting too large", kErrTooLarge);
  bool hasPhoto = false;
  const std::string photoXml = GetElement(setting, "photo", &hasPhoto);

  // The bytes go to a temporary file first; only an accepted upload is renamed into place.
  TempFile temp(ctx.storage());
  std::string error;
  if (!ctx.storage().WriteTemp(file->value, temp.path(), &error))
    return Refuse(error, kErrInternal);

  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, req);
  if (!user) return AuthRefusal();
  std::optional<Album> album = FindAlbum(db, user->id, albumId);
  if (!album) return Refuse("Album not found", kErrNotFound);
  if (ToLower(album->serverDir) != ToLower(serverDir))
    return Refuse("Directory does not belong to the album", kErrBadName);
  const std::string finalPath = ctx.storage().AlbumFile(user->id, album->serverDir, sub, fileName);
  const int64_t size = static_cast<int64_t>(file->value.size());
  const int64_t replaced = std::max<int64_t>(FileSize(finalPath), 0);
  if (ctx.storage().UsedBytes(user->id) - replaced + size > user->quota)
    return Refuse("Quota exceeded", kErrQuota);

  Transaction tx(db);
  const int64_t photoId =
      tx.ok() ? UpsertPhoto(db, album->id, fileName, hasPhoto ? photoXml : "") : 0;
  if (photoId <= 0) return Refuse("Cannot store photo record", kErrInternal);
  if (!ctx.storage().CommitTemp(*temp.path(), finalPath, &error))
    return Refuse(error, kErrInternal);
  temp.Release();
  if (!tx.Commit()) return Refuse("Cannot store photo record", kErrInternal);

  int64_t reported = size;
  if (const Fault* wrong = ctx.FindFault(FaultKind::kWrongFileSize)) {
    long long v = 0;
    reported = ParseInt64(wrong->value, &v) ? v : size + 1;
  }
  return Ok(MakeElement("fileSize", reported) +
            MakeElement("uploadDelay", int64_t{ctx.service.faults().uploadDelay.load()}) +
            MakeElement("photoID", photoId));
}

std::string ListDir(const std::string& folder) {
  std::string out;
  for (const auto& [name, size] : Storage::ListFiles(folder)) {
    out += "<serverFile>" + MakeElement("fileName", name) + MakeElement("fileSize", size) +
           "</serverFile>";
  }
  return out;
}

ServerResponse GetUploadedFiles(ScriptContext& ctx) {
  const std::string dir = ctx.req.Field("albumDirName");
  if (!IsSafeName(dir)) return Refuse("Invalid album directory name", kErrBadName);
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  if (!UserIdMatches(*user, ctx.req)) return Refuse("Access denied", kErrAuth);
  std::optional<Album> album = FindAlbumByDir(db, user->id, dir);
  if (!album) return Refuse("Album not found", kErrNotFound);
  const std::string folder = ctx.storage().AlbumFolder(user->id, album->serverDir);
  std::string v;
  v += MakeElement("imagesDir", ListDir(folder + "images"));
  v += MakeElement("hdimagesDir", ListDir(folder + "hdimages"));
  v += MakeElement("thumbDir", ListDir(folder + "thumb"));
  v += MakeElement("diffDir", ListDir(folder + "diff"));
  std::string videos;
  for (const SqlRow& r : db.Query("SELECT p.id, v.file_name FROM videos v JOIN photos p ON "
                                  "p.album_id = v.album_id AND p.file_name = v.file_name "
                                  "WHERE v.album_id = ? ORDER BY p.id",
                                  {L(album->id)})) {
    const int64_t size = FileSize(ctx.storage().VideoFile(user->id, album->serverDir, r[1].Text()));
    if (size < 0) continue;
    videos += "<serverFile>" + MakeElement("photoID", r[0].Int()) + MakeElement("fileSize", size) +
              "</serverFile>";
  }
  v += MakeElement("videoDir", videos);
  return Ok(v);
}

}  // namespace

void RegisterUploadScripts(Router& router) {
  router.AddScript("upload.php", UploadFile);
  router.AddCommand("GetUploadedFiles", GetUploadedFiles);
}

}  // namespace zerva::server
