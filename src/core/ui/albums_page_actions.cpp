// CAlbumsDlg: what the page's buttons, the items' buttons and the sort menu do.
#include <algorithm>
#include <mutex>

#include "app/profile.h"
#include "lang/text.h"
#include "model/album_mngr.h"
#include "platform/fs.h"
#include "platform/shell_open.h"
#include "ui/add_photos_filter.h"
#include "ui/album_cover_loader.h"
#include "ui/album_delete.h"
#include "ui/album_folder_request.h"
#include "ui/album_list_order.h"
#include "ui/albums_page.h"
#include "ui/page_ids.h"
#include "ui/zerva_app.h"
#include "ui/zerva_dlg.h"

namespace zerva {
namespace {

constexpr int kFirstLocalKey = kAlbumSortName;
constexpr int kLastLocalKey = kAlbumSortDateTo;
constexpr int kFirstWebKey = 101;
constexpr int kLastWebKey = 105;

const char* SortKeyCaption(int key) {
  switch (key) {
    case kAlbumSortName:
    case 103:
      return "AlbumsDlgSortNameBtn";
    case kAlbumSortCreated:
    case 101:
      return "AlbumsDlgSortCreatedBtn";
    case kAlbumSortModified:
      return "AlbumsDlgSortModifiedBtn";
    case kAlbumSortPhotoCount:
      return "AlbumsDlgSortNumBtn";
    case kAlbumSortSize:
      return "AlbumsDlgSortSizeBtn";
    case kAlbumSortDateFrom:
      return "AlbumsDlgSortDateFrom";
    case kAlbumSortDateTo:
      return "AlbumsDlgSortDateTo";
    case 102:
      return "AlbumsDlgSortViewCount";
    case 104:
      return "AlbumsDlgSortDateBtn";
    case 105:
      return "AlbumsDlgSortLastComment";
    default:
      return "";
  }
}

// The key's entry; the current key is checked and shows its direction.
MenuEntry SortEntry(int key, const SortState& order) {
  const bool current = key == order.Key();
  std::string text = Text(SortKeyCaption(key));
  if (current) text += order.Direction() != 0 ? "  \u25B2" : "  \u25BC";
  return MenuEntry::Command(std::move(text), key, true, current);
}

}  // namespace

void CAlbumsDlg::OnCommand(int control) {
  if (control == kAlbumsNewAlbum) {
    NewAlbum();
  } else if (control == kAlbumsSort) {
    ShowSortMenu();
  }
}

void CAlbumsDlg::OnEnter() {
  if (selected_ >= 0) OpenAlbum(selected_);
}

void CAlbumsDlg::OnItemOpened(int index) {
  OpenAlbum(index);
}

void CAlbumsDlg::OnDeleteKey(int index) {
  // The key does what the button does, and not in list-file upload mode either.
  if (!App().CommandLine().FilesGiven()) DeleteAlbum(index);
}

void CAlbumsDlg::OnItemButton(int index, AlbumButton button) {
  if (AlbumAt(index) == nullptr) return;
  const AlbumsListItem item = MakeItem(index);
  const AlbumItemButton& shown = item.Button(button);
  // A button the item does not offer does nothing, whoever presses it.
  if (!shown.shown || !shown.enabled) return;
  switch (button) {
    case AlbumButton::kEdit:
      OpenAlbum(index);
      break;
    case AlbumButton::kDelete:
      DeleteAlbum(index);
      break;
    case AlbumButton::kAddPhotos:
      AddPhotos(index);
      break;
    case AlbumButton::kSend:
      SendAlbum(index);
      break;
    case AlbumButton::kFolder:
      OpenFolder(index);
      break;
    case AlbumButton::kWeb:
      OpenWebPage(index);
      break;
  }
}

void CAlbumsDlg::CopyToCurrentAlbum(const CAlbum& album) {
  // The copy takes the covers, which the cover loader writes.
  std::lock_guard<std::mutex> lock(App().AlbumMngr().ListLock());
  App().CurrentAlbum() = album;
}

void CAlbumsDlg::OpenAlbum(int index) {
  const CAlbum* album = AlbumAt(index);
  if (album == nullptr) return;
  App().SetCurrentAlbumId(album->albumID);
  CopyToCurrentAlbum(*album);
  if (App().CommandLine().FilesGiven()) {
    // The editor adds the files of the list to the album it opens.
    App().CurrentAlbum().pendingFiles = App().CommandLine().FileList();
  }
  Window().Next(this);
}

void CAlbumsDlg::NewAlbum() {
  CAlbum& album = App().CurrentAlbum();
  album.Clear();
  album.ownerName = App().Session().Name();
  album.defaultWatermark = App().Session().Details().defaultWatermark;
  Window().Next(this);
}

void CAlbumsDlg::AddPhotos(int index) {
  const CAlbum* album = AlbumAt(index);
  if (album == nullptr || album->uploading != 0) return;
  const int albumId = album->albumID;
  std::string start = album->localPath;
  if (start.empty() || !DirectoryExists(start)) {
    const std::vector<std::string> history =
        DirHistoryNewestFirst(AppProfile(), App().Session().LoginName());
    start = history.empty() ? std::string() : history.front();
  }
  const std::vector<std::string> files = PickPhotosToAdd(
      [this](const std::string& title, const std::string& folder, const std::string& filters,
             int selected) {
        return App().AppDialogs().PickFilesWithFilters(title, folder, filters, selected);
      },
      start, album->env.videoSupport);
  // The dialog waited for the user: the album is looked up again.
  album = App().AlbumMngr().FindById(albumId);
  if (files.empty() || album == nullptr) return;
  App().SetCurrentAlbumId(albumId);
  CopyToCurrentAlbum(*album);
  App().CurrentAlbum().pendingFiles = files;
  Window().Next(this);
}

void CAlbumsDlg::DeleteAlbum(int index) {
  if (AlbumAt(index) == nullptr) return;
  const int albumId = ids_[static_cast<size_t>(index)];
  if (WarningQuestion(Text("AlbumsDlgDelete")) != Reply::kYes) return;
  // The loader is stopped before the list changes and goes on afterwards.
  const bool loading = covers_->Running();
  StopCovers();
  std::string error;
  const bool deleted = DeleteServerAlbum(App(), albumId, &error);
  if (deleted) {
    const int position = IndexOf(albumId);
    if (position >= 0) ids_.erase(ids_.begin() + position);
    // The item now at the same place, or the last one.
    const int count = static_cast<int>(ids_.size());
    selected_ = count == 0 ? -1 : std::min(std::max(position, 0), count - 1);
    ShowItems();
    Select(selected_);
  }
  if (loading && !ids_.empty()) covers_->StartLoading();
  if (!deleted) ErrorBox(error);
}

void CAlbumsDlg::SendAlbum(int index) {
  const CAlbum* album = AlbumAt(index);
  if (album == nullptr) return;
  App().SetCurrentAlbumId(album->albumID);
  CopyToCurrentAlbum(*album);
  Window().GoTo(kSendEmailPage, this);
}

void CAlbumsDlg::OpenFolder(int index) {
  CAlbum* album = AlbumAt(index);
  if (album == nullptr || album->localPath.empty()) return;
  if (DirectoryExists(album->localPath)) {
    ShellOpen(album->localPath);
    return;
  }
  // Gone since the list was read: the item says so now.
  {
    std::lock_guard<std::mutex> lock(App().AlbumMngr().ListLock());
    album->localFolderExists = false;
  }
  if (AlbumsListView* list = List()) list->SetItem(index, MakeItem(index));
}

void CAlbumsDlg::OpenWebPage(int index) {
  const CAlbum* album = AlbumAt(index);
  if (album == nullptr) return;
  const std::string url = album->AlbumUrl();
  if (!url.empty()) Window().OpenUrlSignedIn(url);
}

void CAlbumsDlg::ShowSortMenu() {
  CUserSession& session = App().Session();
  std::vector<MenuEntry> entries;
  for (int key = kFirstLocalKey; key <= kLastLocalKey; ++key) {
    entries.push_back(SortEntry(key, session.AlbumSort()));
  }
  entries.push_back(MenuEntry::Separator());
  std::vector<MenuEntry> web;
  for (int key = kFirstWebKey; key <= kLastWebKey; ++key) {
    web.push_back(SortEntry(key, session.PageOrder()));
  }
  entries.push_back(MenuEntry::Submenu(Text("sortAlbumsWeb"), std::move(web)));

  const int chosen = View().ShowMenu(kAlbumsSort, entries);
  if (chosen >= kFirstLocalKey && chosen <= kLastLocalKey) {
    ChooseSortKey(session.AlbumSort(), chosen);
    // The selected album stays selected in its new place.
    Refill();
  } else if (chosen >= kFirstWebKey && chosen <= kLastWebKey) {
    if (!ChooseWebOrder(session, chosen)) ErrorBox(session.LastError());
  }
}

}  // namespace zerva
