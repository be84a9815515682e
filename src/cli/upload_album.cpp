#include "cli/upload_album.h"

#include <filesystem>
#include <optional>

#include "app/dialogs.h"
#include "app/text_utils.h"
#include "category/album_categories.h"
#include "jobs/job_description.h"
#include "lang/text.h"
#include "media/advance_preparation.h"
#include "media/preparation_settings.h"
#include "media/watermark_template.h"
#include "model/album.h"
#include "model/album_items.h"
#include "model/album_mngr.h"
#include "model/date_interval.h"
#include "model/exif_block.h"
#include "model/exif_reader.h"
#include "ui/free_server_dir.h"
#include "ui/item_count_text.h"
#include "ui/upload_jobs.h"
#include "ui/zerva_app.h"

namespace zerva::cli {
namespace {

// EXIF texts by the user's variables, and the camera's orientation as the rotation code, as a
// new item gets them in the editor.
void ReadItemExif(const CAlbum& album, CPhoto& item) {
  if (item.IsVideo()) return;
  ReadExif(item, album.maxSizeThumb, album.resolution, true,
           ExifTextUse{album.env.useExifName, album.env.useExifDesc});
  std::lock_guard<std::mutex> lock(item.lock);
  if (item.exifRead && item.exifInfo.orientation > 1) {
    item.rotate = RotationCodeFromOrientation(item.exifInfo.orientation);
  }
}

void StartNewAlbum(CzervaApp& app) {
  CAlbum& album = app.CurrentAlbum();
  album.Clear();
  album.ownerName = app.Session().Name();
  album.tempFolder = app.Session().UserFolder();
}

// A named new album: a directory no other album of the user has, and the dates of its items.
void FinishNewAlbum(CzervaApp& app, const std::string& name) {
  CAlbum& album = app.CurrentAlbum();
  album.name = name;
  album.desc.clear();
  album.albumID = -1;  // a new album that has its name
  album.serverDir = FreeServerDir(app.AlbumMngr(), ServerDirFromName(name), album.albumID);
  album.modified = true;
  ComputeDateInterval(album, true);
}

// The question of a damaged album is answered "upload them again": the folder is what the
// album is made of. Everything else goes to the terminal.
class ReloadDialogs : public Dialogs {
 public:
  ReloadDialogs(Dialogs& inner, std::FILE* err) : inner_(inner), err_(err) {}

  Reply ShowMessage(const std::string& text, MessageKind kind, MessageButtons buttons) override {
    if (buttons != MessageButtons::kYesNoCancel) return inner_.ShowMessage(text, kind, buttons);
    std::fprintf(err_, "%s\n-> the missing files are sent again\n",
                 BrToLineBreak(text, true, false).c_str());
    return Reply::kNo;
  }
  void ShowWait(const std::string& text, const std::string& caption) override {
    inner_.ShowWait(text, caption);
  }
  void HideWait() override { inner_.HideWait(); }
  std::optional<std::string> PickFolder(const std::string& title,
                                        const std::string& startFolder) override {
    return inner_.PickFolder(title, startFolder);
  }
  std::vector<std::string> PickFiles(const std::string& title, const std::string& startFolder,
                                     const std::string& patterns) override {
    return inner_.PickFiles(title, startFolder, patterns);
  }
  bool AskProxyCredentials(std::string* userName, std::string* password) override {
    return inner_.AskProxyCredentials(userName, password);
  }

 private:
  Dialogs& inner_;
  std::FILE* err_;
};

std::string WithoutTrailingSlashes(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

}  // namespace

std::string CanonicalFolder(const std::string& folder) {
  std::error_code error;
  const std::filesystem::path path = std::filesystem::canonical(folder, error);
  if (error || !std::filesystem::is_directory(path, error) || error) return {};
  return WithoutTrailingSlashes(path.string());
}

const CAlbum* FindAlbumOfFolder(const CAlbumMngr& albums, const std::string& folder) {
  const CAlbum* found = nullptr;
  for (const auto& album : albums.albums) {
    if (album->localPath.empty()) continue;
    std::string path = WithoutTrailingSlashes(album->localPath);
    // A folder that still exists is compared as the file system resolves it.
    const std::string canonical = CanonicalFolder(path);
    if (!canonical.empty()) path = canonical;
    if (path != folder) continue;
    if (found == nullptr || album->albumID > found->albumID) found = album.get();
  }
  return found;
}

bool NewAlbumFromFolder(CzervaApp& app, const std::string& folder, const std::string& name,
                        std::string* error) {
  StartNewAlbum(app);
  CAlbum& album = app.CurrentAlbum();
  if (!AddFolder(album, folder)) {
    *error = folder + " holds no photos or videos the album can take";
    return false;
  }
  album.localPath = folder;
  for (const auto& item : album.items) ReadItemExif(album, *item);
  FinishNewAlbum(app, name.empty() ? FileNameOfPath(folder) : name);
  return true;
}

bool NewAlbumFromFiles(CzervaApp& app, const std::vector<std::string>& files,
                       const std::string& name, Dialogs& dialogs, std::string* error) {
  StartNewAlbum(app);
  CAlbum& album = app.CurrentAlbum();
  album.pendingFiles = files;
  AddFiles(album, dialogs);  // reads each photo's EXIF with its texts
  if (album.items.empty()) {
    *error = "none of the files is a photo or video the album can take";
    return false;
  }
  for (const auto& item : album.items) {
    std::lock_guard<std::mutex> lock(item->lock);
    if (item->exifRead && item->exifInfo.orientation > 1) {
      item->rotate = RotationCodeFromOrientation(item->exifInfo.orientation);
    }
  }
  FinishNewAlbum(app, name);
  return true;
}

bool ReopenAlbum(CzervaApp& app, int albumId, const std::string& folder, Dialogs& dialogs,
                 std::FILE* err, std::string* error) {
  CAlbum* entry = app.AlbumMngr().FindById(albumId);
  if (entry == nullptr || app.MainConnection() == nullptr) {
    *error = "album " + std::to_string(albumId) + " is not in the album list";
    return false;
  }
  CAlbum& album = app.CurrentAlbum();
  album.Clear();
  album = *entry;
  album.localPath = folder;
  album.tempFolder = app.Session().UserFolder();
  const SessionCredentials user = app.Session().Credentials();
  ReloadDialogs reloadDialogs(dialogs, err);
  if (album.LoadFromServer(*app.MainConnection(), reloadDialogs, albumId, user.name,
                           user.passwordDigest, user.userId, entry) == 0) {
    *error = "the album " + std::to_string(albumId) + " could not be loaded from the service";
    return false;
  }

  // Files new in the folder become part of the album.
  for (const auto& item : album.items) {
    if (item->included || !item->localFileAvailable || item->localPath.empty()) continue;
    item->included = true;
    item->needsUpload = true;
    ReadItemExif(album, *item);
    album.modified = true;
  }
  // Photos whose files left the folder leave the album only when the user says so: the
  // service's copy may be the only one left.
  int photosGone = 0, videosGone = 0;
  for (const auto& item : album.items) {
    if (item->included && !item->localFileAvailable) ++(item->IsVideo() ? videosGone : photosGone);
  }
  if (photosGone + videosGone > 0) {
    const std::string question =
        FillJobText(Text("EditPhotosDlgItemsToBeDeleted"), {ItemCountText(photosGone, videosGone)});
    if (app.MessageBox(question, MessageKind::kWarning, MessageButtons::kYesNo) == Reply::kYes) {
      for (const auto& item : album.items) {
        if (item->included && !item->localFileAvailable) item->included = false;
      }
      album.modified = true;
    }
  }
  return true;
}

bool CheckAlbumForUpload(CzervaApp& app, std::string* error) {
  const CAlbum& album = app.CurrentAlbum();
  if (album.name.empty()) {
    *error = "the album needs a name (--name)";
    return false;
  }
  if (album.name == "." || album.name == "..") {
    *error = "an album cannot be named \"" + album.name + "\"";
    return false;
  }
  if (app.AlbumMngr().IsNameTaken(album.name, album.albumID)) {
    *error = "another album of yours is named \"" + album.name + "\"; choose a name with --name";
    return false;
  }
  int included = 0;
  for (const auto& item : album.items) included += item->included ? 1 : 0;
  if (included == 0) {
    *error = "the album has nothing to upload";
    return false;
  }
  if (included > album.itemLimit) {
    *error = "the album holds " + std::to_string(included) + " items, more than the " +
             std::to_string(album.itemLimit) + " an album may hold";
    return false;
  }
  return true;
}

int CountToPrepare(const CAlbum& album) {
  int count = 0;
  for (const auto& item : album.items) count += NeedsPreparation(*item) ? 1 : 0;
  return count;
}

int PrepareInAdvanceForUpload(CzervaApp& app, bool newAlbum, int threads) {
  CAlbum& album = app.CurrentAlbum();
  CUserSession& session = app.Session();
  const bool hd = AlbumNeedsHd(session.IsSignedIn(), album.albumCategory, session.Categories());
  for (const auto& item : album.items) {
    if (item->included && NeedsPreparation(*item)) item->isHdPhoto = hd;
  }
  PreparationSettings settings = PreparationSettingsFor(album);
  settings.watermark = SessionWatermarkSource(session, app.SharedHttpMngr());
  settings.reports = app.Reports();
  AdvancePreparationOptions options;
  options.resolution = album.resolution;
  options.sizeThumb = settings.sizeThumb;
  options.newAlbum = newAlbum;
  // Only what this upload sends is prepared.
  options.onlyIf = [](const CPhoto& item) { return item.included && NeedsPreparation(item); };
  options.threads = threads;
  return PrepareInAdvance(album, settings, options);
}

}  // namespace zerva::cli
