// The video block protocol: BeginVideoUpload, NextVideoUpload, EndVideoUpload, their "Unk"
// twins for original files, CancelVideoUpload, AcceptUnkVideoUpload, GetMissingVideos and
// SetVideoThumbPos. Blocks are kept per user, directory and file name, so an interrupted
// upload of the same file resumes with the blocks already held.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "app/elements.h"
#include "platform/fs.h"
#include "platform/md5.h"
#include "server/accounts.h"
#include "server/album_store.h"
#include "server/album_xml.h"
#include "server/answers.h"
#include "server/clock.h"
#include "server/limits.h"
#include "server/names.h"
#include "server/script_groups.h"
#include "server/video_blocks.h"

namespace zerva::server {
namespace {

long long L(int64_t v) {
  return static_cast<long long>(v);
}

constexpr int kOpen = 0;
constexpr int kEnded = 1;
constexpr int kCancelled = 2;
constexpr int64_t kMaxOriginalBytes = kMaxVideoBlocks * kVideoBlockSize;

struct Upload {
  int64_t id = 0;
  int64_t videoFileId = 0;
  int state = 0;
  std::string directory;
  std::string fileName;
  bool unknown = false;
};

std::optional<Upload> FindUpload(Db& db, int64_t userId, int64_t uploadId) {
  auto row = db.QueryOne(
      "SELECT u.id, u.video_file_id, u.state, f.directory, f.file_name, f.unknown FROM "
      "video_uploads u JOIN video_files f ON f.id = u.video_file_id WHERE u.id = ? AND "
      "u.user_id = ?",
      {L(uploadId), L(userId)});
  if (!row) return std::nullopt;
  Upload u;
  u.id = (*row)[0].Int();
  u.videoFileId = (*row)[1].Int();
  u.state = static_cast<int>((*row)[2].Int());
  u.directory = (*row)[3].Text();
  u.fileName = (*row)[4].Text();
  u.unknown = (*row)[5].Int() != 0;
  return u;
}

std::vector<BlockInfo> HeldBlocks(Db& db, int64_t videoFileId) {
  std::vector<BlockInfo> out;
  for (const SqlRow& r : db.Query("SELECT idx, size, md5 FROM video_blocks WHERE video_file_id = ? "
                                  "ORDER BY idx",
                                  {L(videoFileId)}))
    out.push_back(BlockInfo{r[0].Int(), r[1].Int(), r[2].Text()});
  return out;
}

int64_t PendingBlockBytes(Db& db, int64_t userId) {
  return db.QueryInt(
      "SELECT SUM(b.size) FROM video_blocks b JOIN video_files f ON f.id = "
      "b.video_file_id WHERE f.user_id = ?",
      {L(userId)}, 0);
}

// Looks the open upload of a request up: owned by the caller, open, and of the same kind
// (original file or not) as the command.
bool OpenUpload(ScriptContext& ctx, const User& user, bool unknown, Upload* upload,
                ServerResponse* refusal) {
  long long id = 0;
  if (!ParseInt64(ctx.req.Field("uploadID"), &id) || id <= 0) {
    *refusal = Refuse("Invalid upload identifier", kErrBadRequest);
    return false;
  }
  std::optional<Upload> found = FindUpload(ctx.db(), user.id, id);
  if (!found || found->unknown != unknown) {
    *refusal = Refuse("Upload not found", kErrNotFound);
    return false;
  }
  if (found->state != kOpen) {
    *refusal = Refuse("Upload is not open", kErrNotFound);
    return false;
  }
  *upload = *found;
  return true;
}

ServerResponse Begin(ScriptContext& ctx, bool unknown) {
  const std::string sent = ctx.req.Field("fileName");
  // An original file is announced by its full local path; only its last part is kept.
  const std::string fileName = unknown ? SafeFileNameFrom(LastPathComponent(sent)) : sent;
  if (!IsSafeName(fileName)) return Refuse("Invalid file name", kErrBadName);
  const std::string directory = ctx.req.Field("directory");
  if (!unknown && !IsSafeName(directory)) return Refuse("Invalid directory", kErrBadName);
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  std::string storedDir;
  if (!unknown) {
    std::optional<Album> album = FindAlbumByDir(db, user->id, directory);
    if (!album) return Refuse("Album not found", kErrNotFound);
    storedDir = album->serverDir;
  }
  Transaction tx(db);
  bool ok = tx.ok() && db.Exec(
                           "INSERT OR IGNORE INTO video_files(user_id, directory, file_name, "
                           "unknown) VALUES(?, ?, ?, ?)",
                           {L(user->id), storedDir, fileName, unknown});
  const int64_t fileId =
      ok ? db.QueryInt(
               "SELECT id FROM video_files WHERE user_id = ? AND directory = ? AND "
               "file_name = ? AND unknown = ?",
               {L(user->id), storedDir, fileName, unknown}, 0)
         : 0;
  ok = ok && fileId > 0 &&
       db.Exec(
           "INSERT INTO video_uploads(video_file_id, user_id, state, created) VALUES(?, ?, ?, ?)",
           {L(fileId), L(user->id), kOpen, NowText()});
  const int64_t uploadId = ok ? db.LastInsertId() : 0;
  if (!ok || !tx.Commit()) return Refuse("Cannot begin upload", kErrInternal);
  return Ok(MakeElement("uploadID", uploadId) + BlockListXml(HeldBlocks(db, fileId)));
}

struct ReceivedBlock {
  BlockInfo info;
  std::string tmpPath;
};

ServerResponse Next(ScriptContext& ctx, bool unknown) {
  std::vector<BlockInfo> described;
  if (!ParseBlockList(ctx.req.Field("blocks"), &described))
    return Refuse("Invalid block list", kErrBadRequest);
  {
    // Cheap checks first, so a refused request writes nothing.
    Db& db = ctx.db();
    auto lock = db.Lock();
    std::optional<User> user = Authenticate(db, ctx.req);
    if (!user) return AuthRefusal();
    Upload upload;
    ServerResponse refusal;
    if (!OpenUpload(ctx, *user, unknown, &upload, &refusal)) return refusal;
  }

  // Digests and temporary files outside the database lock, so senders work in parallel.
  std::vector<ReceivedBlock> intact;
  int64_t bytes = 0;
  for (const BlockInfo& block : described) {
    const FormField* part = ctx.req.Find("data" + std::to_string(block.index));
    if (!part || !part->isFile || static_cast<int64_t>(part->value.size()) != block.size) continue;
    if (part->Digest() != block.md5) continue;
    if (ctx.service.faults().ConsumeRefusedBlock(block.md5)) continue;
    ReceivedBlock r{block, ""};
    std::string error;
    if (!ctx.storage().WriteTemp(part->value, &r.tmpPath, &error)) break;
    bytes += block.size;
    intact.push_back(std::move(r));
  }
  auto dropAll = [&] {
    for (const ReceivedBlock& r : intact) ctx.storage().DropTemp(r.tmpPath);
  };

  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  Upload upload;
  ServerResponse refusal;
  if (!user || !OpenUpload(ctx, *user, unknown, &upload, &refusal)) {
    dropAll();
    return user ? refusal : AuthRefusal();
  }
  if (ctx.storage().UsedBytes(user->id) + PendingBlockBytes(db, user->id) + bytes > user->quota) {
    dropAll();
    return Refuse("Quota exceeded", kErrQuota);
  }
  std::vector<BlockInfo> confirmed;
  Transaction tx(db);
  std::string error;
  for (ReceivedBlock& r : intact) {
    if (!tx.ok()) break;
    if (!ctx.storage().CommitTemp(
            r.tmpPath, ctx.storage().BlockFile(upload.videoFileId, r.info.index), &error))
      continue;
    r.tmpPath.clear();
    if (db.Exec("INSERT OR REPLACE INTO video_blocks(video_file_id, idx, size, md5) "
                "VALUES(?, ?, ?, ?)",
                {L(upload.videoFileId), L(r.info.index), L(r.info.size), r.info.md5}))
      confirmed.push_back(r.info);
  }
  dropAll();
  if (!tx.Commit()) confirmed.clear();
  return Ok(
      BlockListXml(confirmed) +
      MakeElement("optimalNumThreads", int64_t{ctx.service.faults().optimalNumThreads.load()}) +
      MakeElement("optimumRequestTime", int64_t{ctx.service.faults().optimumRequestTime.load()}));
}

// Concatenates the blocks in index order into a temporary file.
bool Assemble(const Storage& storage, int64_t videoFileId, const std::vector<BlockInfo>& blocks,
              std::string* tmpPath, std::string* error) {
  if (!storage.WriteTemp("", tmpPath, error)) return false;
  const int out = ::open(tmpPath->c_str(), O_WRONLY | O_APPEND | O_CLOEXEC);
  if (out < 0) {
    *error = std::strerror(errno);
    return false;
  }
  bool ok = true;
  std::string data;
  for (const BlockInfo& b : blocks) {
    if (!ReadFileBounded(storage.BlockFile(videoFileId, b.index), kVideoBlockSize, &data) ||
        static_cast<int64_t>(data.size()) != b.size || Md5Hex(data) != b.md5) {
      *error = "block " + std::to_string(b.index) + " is damaged";
      ok = false;
      break;
    }
    size_t written = 0;
    while (ok && written < data.size()) {
      const ssize_t n = ::write(out, data.data() + written, data.size() - written);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) {
        *error = std::strerror(errno);
        ok = false;
      } else {
        written += static_cast<size_t>(n);
      }
    }
    if (!ok) break;
  }
  ok = (::close(out) == 0) && ok;
  if (!ok) storage.DropTemp(*tmpPath);
  return ok;
}

ServerResponse End(ScriptContext& ctx, bool unknown) {
  std::vector<BlockInfo> listed;
  if (!ParseBlockList(ctx.req.Field("blocks"), &listed))
    return Refuse("Invalid block list", kErrBadRequest);
  const std::string videoSetting = ctx.req.Field("videoSetting");
  if (videoSetting.size() > kMaxSettingBytes)
    return Refuse("Video setting too large", kErrTooLarge);
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  Upload upload;
  ServerResponse refusal;
  if (!OpenUpload(ctx, *user, unknown, &upload, &refusal)) return refusal;

  const std::vector<BlockInfo> held = HeldBlocks(db, upload.videoFileId);
  std::vector<BlockInfo> blocks = listed.empty() ? held : listed;
  std::sort(blocks.begin(), blocks.end(),
            [](const BlockInfo& a, const BlockInfo& b) { return a.index < b.index; });
  if (blocks.empty()) return Refuse("No blocks received", kErrNotFound);
  for (size_t i = 0; i < blocks.size(); ++i) {
    const BlockInfo& b = blocks[i];
    auto same = std::find_if(held.begin(), held.end(), [&](const BlockInfo& h) {
      return h.index == b.index && h.size == b.size && h.md5 == b.md5;
    });
    if (b.index != static_cast<int64_t>(i) || same == held.end()) {
      return Refuse("Block " + std::to_string(i) + " is missing", kErrNotFound);
    }
  }

  std::string tmpPath;
  std::string error;
  if (!Assemble(ctx.storage(), upload.videoFileId, blocks, &tmpPath, &error))
    return Refuse("Cannot assemble video: " + error, kErrInternal);
  const int64_t size = FileSize(tmpPath);
  std::optional<Album> album;
  if (!unknown) {
    album = FindAlbumByDir(db, user->id, upload.directory);
    if (!album) {
      ctx.storage().DropTemp(tmpPath);
      return Refuse("Album not found", kErrNotFound);
    }
  } else if (ctx.storage().UsedBytes(user->id) + size > user->quota) {
    ctx.storage().DropTemp(tmpPath);
    return Refuse("Quota exceeded", kErrQuota);
  }

  Transaction tx(db);
  bool ok = tx.ok() &&
            db.Exec("UPDATE video_uploads SET state = ? WHERE video_file_id = ? AND state = ?",
                    {kEnded, L(upload.videoFileId), kOpen}) &&
            db.Exec("DELETE FROM video_blocks WHERE video_file_id = ?", {L(upload.videoFileId)});
  std::string finalPath;
  std::string answer = BlockListXml(blocks) + MakeElement("fileSize", size);
  if (ok && unknown) {
    ok = db.Exec("INSERT INTO originals(user_id, file_name, size, created) VALUES(?, ?, ?, ?)",
                 {L(user->id), upload.fileName, L(size), NowText()});
    finalPath = ctx.storage().OriginalsFolder(user->id) + std::to_string(db.LastInsertId()) + "_" +
                upload.fileName;
  } else if (ok) {
    const std::string video = GetElement(videoSetting, "video");
    ok = db.Exec(
        "INSERT OR REPLACE INTO videos(album_id, file_name, size, video_xml, created) "
        "VALUES(?, ?, ?, ?, ?)",
        {L(album->id), upload.fileName, L(size), video, NowText()});
    finalPath = ctx.storage().VideoFile(user->id, album->serverDir, upload.fileName);
    if (std::optional<PhotoRecord> photo = FindPhotoByName(db, album->id, upload.fileName)) {
      bool hasVideo = false;
      GetElement(photo->xml, "video", &hasVideo);
      if (ok && hasVideo && !video.empty())
        ok = SetPhotoXml(db, photo->id, SetElementContent(photo->xml, "video", video));
      answer += MakeElement("photoID", photo->id);
    }
  }
  if (!ok || !ctx.storage().CommitTemp(tmpPath, finalPath, &error) || !tx.Commit()) {
    ctx.storage().DropTemp(tmpPath);
    return Refuse("Cannot store video", kErrInternal);
  }
  DeleteDirectoryTree(ctx.storage().BlockFolder(upload.videoFileId));
  return Ok(answer);
}

ServerResponse Cancel(ScriptContext& ctx) {
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  long long id = 0;
  if (!ParseInt64(ctx.req.Field("uploadID"), &id) || id <= 0)
    return Refuse("Invalid upload identifier", kErrBadRequest);
  std::optional<Upload> upload = FindUpload(db, user->id, id);
  if (!upload) return Refuse("Upload not found", kErrNotFound);
  if (upload->state != kOpen) return Ok();
  Transaction tx(db);
  if (!tx.ok() ||
      !db.Exec("UPDATE video_uploads SET state = ? WHERE id = ?", {kCancelled, L(upload->id)}) ||
      !db.Exec("DELETE FROM video_blocks WHERE video_file_id = ?", {L(upload->videoFileId)}) ||
      !tx.Commit())
    return Refuse("Cannot cancel upload", kErrInternal);
  DeleteDirectoryTree(ctx.storage().BlockFolder(upload->videoFileId));
  return Ok();
}

ServerResponse AcceptUnk(ScriptContext& ctx) {
  long long size = 0;
  if (!ParseInt64(ctx.req.Field("fileSize"), &size) || size < 0)
    return Refuse("Invalid file size", kErrBadRequest);
  const std::string reason = ctx.req.Field("reason");
  if (reason.size() > kMaxShortTextBytes) return Refuse("Reason too long", kErrTooLarge);
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  std::string why;
  if (size == 0) {
    why = "Empty file";
  } else if (size > kMaxOriginalBytes) {
    why = "File too large";
  } else if (ctx.storage().UsedBytes(user->id) + size > user->quota) {
    why = "Quota exceeded";
  }
  db.Exec("INSERT INTO accepted_originals(user_id, file_size, reason, created) VALUES(?, ?, ?, ?)",
          {L(user->id), size, reason, NowText()});
  if (!why.empty()) return Ok(MakeElement("continue", "no") + MakeElement("message", why));
  return Ok(MakeElement("continue", "yes"));
}

ServerResponse GetMissingVideos(ScriptContext& ctx) {
  long long albumId = 0;
  if (!ParseInt64(ctx.req.Field("albumID"), &albumId) || albumId <= 0)
    return Refuse("Invalid album identifier", kErrBadRequest);
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  std::optional<Album> album = FindAlbum(db, user->id, albumId);
  if (!album) return Refuse("Album not found", kErrNotFound);
  std::string list;
  for (const PhotoRecord& p : AlbumPhotos(db, album->id)) {
    if (!p.isVideo) continue;
    if (p.hasVideoFile &&
        FileExists(ctx.storage().VideoFile(user->id, album->serverDir, p.fileName)))
      continue;
    list +=
        "<video>" + MakeElement("fileName", p.fileName) + MakeElement("photoID", p.id) + "</video>";
  }
  return Ok(MakeElement("missingVideos", list));
}

ServerResponse SetVideoThumbPos(ScriptContext& ctx) {
  long long photoId = 0;
  if (!ParseInt64(ctx.req.Field("photoID"), &photoId) || photoId <= 0)
    return Refuse("Invalid photo identifier", kErrBadRequest);
  const std::string text = ctx.req.Field("thumbPos");
  char* end = nullptr;
  const double pos = std::strtod(text.c_str(), &end);
  if (text.empty() || end != text.c_str() + text.size() || !std::isfinite(pos) || pos < 0)
    return Refuse("Invalid thumbnail position", kErrBadRequest);
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  std::optional<PhotoRecord> photo = FindUserPhoto(db, user->id, photoId);
  if (!photo) return Refuse("Photo not found", kErrNotFound);
  if (!photo->isVideo) return Refuse("Not a video", kErrBadRequest);
  Transaction tx(db);
  bool ok = tx.ok();
  bool hasVideo = false;
  const std::string inner = GetElement(photo->xml, "video", &hasVideo);
  if (ok && hasVideo)
    ok = SetPhotoXml(
        db, photo->id,
        SetElementContent(photo->xml, "video", SetElementContent(inner, "thumbpos", text)));
  if (ok && !photo->videoXml.empty())
    ok = db.Exec(
        "UPDATE videos SET video_xml = ? WHERE album_id = ? AND file_name = ?",
        {SetElementContent(photo->videoXml, "thumbpos", text), L(photo->albumId), photo->fileName});
  if (!ok || !tx.Commit()) return Refuse("Cannot store thumbnail position", kErrInternal);
  return Ok();
}

}  // namespace

void RegisterVideoScripts(Router& router) {
  router.AddCommand("BeginVideoUpload", [](ScriptContext& c) { return Begin(c, false); });
  router.AddCommand("BeginUnkVideoUpload", [](ScriptContext& c) { return Begin(c, true); });
  router.AddCommand("NextVideoUpload", [](ScriptContext& c) { return Next(c, false); });
  router.AddCommand("NextUnkVideoUpload", [](ScriptContext& c) { return Next(c, true); });
  router.AddCommand("EndVideoUpload", [](ScriptContext& c) { return End(c, false); });
  router.AddCommand("EndUnkVideoUpload", [](ScriptContext& c) { return End(c, true); });
  router.AddCommand("CancelVideoUpload", Cancel);
  router.AddCommand("AcceptUnkVideoUpload", AcceptUnk);
  router.AddCommand("GetMissingVideos", GetMissingVideos);
  router.AddCommand("SetVideoThumbPos", SetVideoThumbPos);
}

}  // namespace zerva::server
