// CEditPhotosDlg: the album's folder (the picker, the history, a folder loaded into a new album,
// an existing album's folder relocated) and photos added from the file dialog.
#include <algorithm>

#include "app/history_list.h"
#include "app/profile.h"
#include "app/text_placeholders.h"
#include "app/text_utils.h"
#include "lang/text.h"
#include "model/album.h"
#include "model/album_items.h"
#include "model/folder_scan.h"
#include "platform/fs.h"
#include "ui/add_photos_filter.h"
#include "ui/album_editor_page.h"
#include "ui/album_editor_view.h"
#include "ui/album_folder_request.h"
#include "ui/zerva_app.h"

namespace zerva {
namespace {

// "msgDirectory" "path" and the reason.
std::string FolderMessage(const std::string& folder, const char* reasonKey) {
  return Text("msgDirectory") + " \"" + folder + "\" " + Text(reasonKey);
}

}  // namespace

std::vector<std::string> CEditPhotosDlg::HistoryNewestFirst() const {
  return DirHistoryNewestFirst(AppProfile(), LoginName());
}

AlbumFolderRequest CEditPhotosDlg::FolderRequest(bool newAlbum) const {
  AlbumFolderRequest request = NewAlbumFolderRequest(AppProfile(), LoginName());
  if (!newAlbum) {
    request.allowFiles = false;
    request.text = Text("msgDirectoryMoved1") + "\n" + Text("msgDirectoryMoved2");
    const std::string& current = app_.CurrentAlbum().localPath;
    if (!current.empty() && DirectoryExists(current)) request.startFolder = current;
  }
  return request;
}

void CEditPhotosDlg::OnFolderButton() {
  const bool newAlbum = Album().albumID < 1;
  const AlbumFolderChoice choice = view_.PickAlbumFolder(FolderRequest(newAlbum));
  if (choice.folder.empty()) return;
  if (newAlbum) {
    LoadFolder(choice.folder, choice.files);
  } else {
    Relocate(choice.folder);
  }
}

void CEditPhotosDlg::OnFolderHistory() {
  const std::vector<std::string> history = HistoryNewestFirst();
  if (history.empty()) return;
  PopupMenu menu;
  menu.items = history;
  menu.contextText = [&history](size_t index) {
    return FillTextPlaceholders(Text("msgRemoveFolder"), {history[index]});
  };
  menu.onContext = [this, &history](size_t index) {
    RemoveDirHistory(AppProfile(), LoginName(), history[index]);
    return true;
  };
  const int chosen = controls_.ShowPopupMenu(kEditFolderHistory, menu);
  if (chosen < 0 || static_cast<size_t>(chosen) >= history.size()) return;
  const std::string& folder = history[static_cast<size_t>(chosen)];
  if (Album().albumID < 1) {
    LoadFolder(folder, {});
  } else if (FolderWithoutTrailingSlash(folder) != Album().localPath) {
    Relocate(folder);
  }
}

bool CEditPhotosDlg::LoadFolder(const std::string& picked, const std::vector<std::string>& files) {
  const std::string folder = FolderWithoutTrailingSlash(picked);
  if (!DirectoryExists(folder)) {
    app_.MessageBox(FolderMessage(folder, "msgNotExist"), MessageKind::kError);
    return false;
  }
  PushDirHistory(AppProfile(), LoginName(), folder);

  // The folder is read into an album of its own first: when it holds nothing usable, the
  // album the user had stays as it was.
  CAlbum& album = Album();
  CAlbum scanned(album.env);
  scanned.ownerName = app_.Session().Name();
  scanned.localPath = folder;
  if (files.empty()) {
    AddFolder(scanned, folder);
  } else {
    scanned.pendingFiles = files;
    AddFiles(scanned, app_.AppDialogs());
  }
  if (scanned.items.empty()) {
    std::string text = FolderMessage(folder, "msgHaveNoJpgs");
    std::vector<NamedReason> leftOut;
    for (const LeftOutFile& file : scanned.leftOut) leftOut.push_back(Named(file));
    if (!leftOut.empty()) {
      text += "<br>" + FillTextPlaceholders(Text("copyDlgLeftOut"), {NamedReasonList(leftOut)});
    }
    app_.MessageBox(text, MessageKind::kError);
    return false;
  }
  if (!StopLoader()) return false;

  ForgetItems();
  album.Clear();
  album.albumID = -1;  // a new album that has its name
  album.ownerName = app_.Session().Name();
  album.tempFolder = app_.Session().UserFolder();
  album.items = std::move(scanned.items);
  album.leftOut = std::move(scanned.leftOut);
  album.localPath = folder;
  album.localFolderExists = true;
  SetAlbumName(FileNameOfPath(folder));
  album.modified = true;
  RecomputeDates();
  ShowAlbum(true);
  return true;
}

void CEditPhotosDlg::Relocate(const std::string& picked) {
  const std::string folder = FolderWithoutTrailingSlash(picked);
  CAlbum& album = Album();
  if (folder == album.localPath || !StopLoader()) return;
  album.previousLocalPath = album.localPath;
  album.localPath = folder;
  album.localFolderExists = DirectoryExists(folder);
  album.folderMoved = true;
  for (const auto& item : album.items) {
    item->RebasePath(album.previousLocalPath, folder);
    item->localFileAvailable = item->LocalFileTime() >= 0;
  }
  MarkModified();
  list_->Fill(&album, false);
  list_->StartLoader();
  ShowFields();
}

void CEditPhotosDlg::OnAddPhotos() {
  CAlbum& album = Album();
  std::string start = album.localPath;
  if (start.empty()) {
    const std::vector<std::string> history = HistoryNewestFirst();
    if (!history.empty()) start = history.front();
  }
  const std::vector<std::string> known = PickPhotosToAdd(
      [this](const std::string& title, const std::string& folder, const std::string& filters,
             int selected) { return view_.PickFiles(title, folder, filters, selected); },
      start, album.env.videoSupport);
  if (known.empty() || !StopLoader()) return;

  const AddedFiles added = list_->AddAlbumFiles(known);
  // The first new item, or else the item included again or already there.
  const int shown = added.firstNew >= 0 ? added.firstNew : added.lastTouched;
  if (shown >= 0) list_->SetCurrentPosition(shown);
  RecomputeDates();
  ShowFields();
}

}  // namespace zerva
