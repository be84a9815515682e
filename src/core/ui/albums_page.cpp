// CAlbumsDlg: showing the list, the items, the selection and leaving the page.
#include "ui/albums_page.h"

#include <algorithm>
#include <cstdio>
#include <mutex>

#include "app/profile.h"
#include "app/text_utils.h"
#include "lang/text.h"
#include "model/album_mngr.h"
#include "model/text_compare.h"
#include "ui/account_checks.h"
#include "ui/album_cover_loader.h"
#include "ui/album_folder_request.h"
#include "ui/album_list_order.h"
#include "ui/page_ids.h"
#include "ui/zerva_app.h"
#include "ui/zerva_dlg.h"

namespace zerva {
namespace {

// "2024-07-14 08:05:00" as "14.7.2024 08:05"; any other text as it is.
std::string TimeText(const std::string& serviceTime) {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0;
  if (std::sscanf(serviceTime.c_str(), "%4d-%2d-%2d %2d:%2d", &year, &month, &day, &hour,
                  &minute) != 5) {
    return serviceTime;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%d.%d.%d %02d:%02d", day, month, year, hour, minute);
  return text;
}

AlbumItemButton Button(const std::string& caption, const char* tooltipKey, bool enabled,
                       bool shown = true) {
  AlbumItemButton button;
  button.caption = caption;
  button.tooltip = TooltipText(tooltipKey);
  button.enabled = enabled;
  button.shown = shown;
  return button;
}

}  // namespace

CAlbumsDlg::CAlbumsDlg(CzervaDlg& window, PageView& view)
    : CZervaDialog(window, PageId::kAlbums, view) {
  CzervaApp& app = window.App();
  covers_ =
      std::make_unique<AlbumCoverLoader>(app.AlbumMngr(), app.SharedHttpMngr(), app.AppUiThread(),
                                         [this](int albumId) { OnCoverChanged(albumId); });
  List();
}

CAlbumsDlg::~CAlbumsDlg() {
  // The screen may repaint while the loader is waited for: it must not reach this page.
  if (attached_ != nullptr) attached_->SetEvents(nullptr);
  covers_.reset();
}

AlbumsListView* CAlbumsDlg::List() {
  AlbumsListView* list = View().AlbumsList(kAlbumsList);
  if (list != attached_) {
    if (attached_ != nullptr) attached_->SetEvents(nullptr);
    attached_ = list;
    if (attached_ != nullptr) attached_->SetEvents(this);
  }
  return attached_;
}

// --- Texts and showing ---

void CAlbumsDlg::UpdateTexts() {
  CzervaDlg& window = Window();
  window.SetHeaderTitle(Text("AlbumsDlgTitle"));
  window.SetHeaderText(App().CommandLine().FilesGiven() ? Text("AlbumsDlgTextUpl")
                                                        : Text("AlbumsDlgText"));
  window.ShowNextButton(false);
  window.ShowBackButton(false);
  View().SetText(kAlbumsNewAlbum, Text("newAlbum"));
  View().SetText(kAlbumsSort, Text("sortAlbums"));
  SetTooltipEntry(kAlbumsNewAlbum, "AlbumsDlgNewAlbumTool");
  SetTooltipEntry(kAlbumsSort, "AlbumsDlgSortTool");
  // The items speak the language too.
  if (!ids_.empty()) ShowItems();
  CZervaDialog::UpdateTexts();
}

void CAlbumsDlg::OnShowPage(bool /*cameBack*/) {
  Refill();
  Window().UpdateUserBar(false);
  View().Focus(kAlbumsList);
}

void CAlbumsDlg::Refill() {
  ids_.clear();
  selected_ = -1;
  if (AlbumsListView* list = List()) list->SetItems({});
  for (const CAlbum* album : SortedAlbums(App().AlbumMngr(), App().Session().AlbumSort())) {
    ids_.push_back(album->albumID);
  }
  const int remembered = IndexOf(App().CurrentAlbumId());
  ShowItems();
  Select(remembered >= 0 ? remembered : (ids_.empty() ? -1 : 0));
  if (!ids_.empty()) covers_->StartLoading();
}

void CAlbumsDlg::ShowItems() {
  AlbumsListView* list = List();
  if (list == nullptr) return;
  std::vector<AlbumsListItem> items;
  items.reserve(ids_.size());
  for (int i = 0; i < static_cast<int>(ids_.size()); ++i) items.push_back(MakeItem(i));
  list->SetItems(std::move(items));
  list->SetExpanded(selected_);
}

AlbumsListItem CAlbumsDlg::MakeItem(int index) {
  AlbumsListItem item;
  item.albumId = ids_[static_cast<size_t>(index)];
  const CAlbum* album = AlbumAt(index);
  if (album == nullptr) return item;
  item.name = HtmlToText(album->name);
  item.description = HtmlToText(BrToLineBreak(album->desc, false, false));
  if (!album->albumVisible) item.hiddenMark = Text("AlbumHiddenText");
  if (album->albumSecure) item.passwordMark = Text("AlbumPassText");
  item.created = TimeText(album->createDate);
  item.createdTooltip = TooltipText("AlbumCreateTimeTool");
  item.updated = TimeText(album->updateDate);
  item.updatedTooltip = TooltipText("AlbumUpdateTimeTool");

  const bool listMode = App().CommandLine().FilesGiven();
  const bool interrupted = album->uploading != 0;
  bool folderExists = false;
  {
    // The cover loader writes the pictures and the network folders' state.
    std::lock_guard<std::mutex> lock(App().AlbumMngr().ListLock());
    item.cover = album->coverSmall.image;
    item.largeCover = album->coverLarge.image;
    folderExists = album->localFolderExists && !album->localPath.empty();
  }
  const char* editCaption = interrupted ? "repairAlbum" : (listMode ? "editAlbumUpl" : "editAlbum");
  const char* editTooltip = interrupted ? "EditAlbumsDlgRepairTool"
                                        : (listMode ? "editAlbumUpl" : "EditAlbumsDlgEditTool");
  item.Button(AlbumButton::kEdit) = Button(Text(editCaption), editTooltip, true);
  item.Button(AlbumButton::kDelete) =
      Button(Text("deleteAlbum"), "EditAlbumsDlgDeleteTool", !listMode);
  // An interrupted upload is finished first.
  item.Button(AlbumButton::kAddPhotos) =
      Button(Text("EditPhotosDlgAddPhotoBtn"), "EditPhotosAddPhotoTool", !listMode, !interrupted);
  item.Button(AlbumButton::kSend) =
      Button(Text("SendAlbumDlgTitle"), "EditAlbumsDlgSendTool", !listMode);
  item.Button(AlbumButton::kFolder) =
      Button(folderExists ? album->localPath : Text("DirectoryNotExist"), "EditAlbumsDlgDirTool",
             !listMode && folderExists);
  const std::string url = album->AlbumUrl();
  item.Button(AlbumButton::kWeb) = Button(url, "EditAlbumsDlgUrlTool", !listMode && !url.empty());
  return item;
}

CAlbum* CAlbumsDlg::AlbumAt(int index) {
  if (index < 0 || index >= static_cast<int>(ids_.size())) return nullptr;
  return App().AlbumMngr().FindById(ids_[static_cast<size_t>(index)]);
}

int CAlbumsDlg::IndexOf(int albumId) const {
  const auto found = std::find(ids_.begin(), ids_.end(), albumId);
  return found == ids_.end() ? -1 : static_cast<int>(found - ids_.begin());
}

// --- Selection ---

void CAlbumsDlg::Select(int index) {
  if (index >= static_cast<int>(ids_.size())) index = -1;
  selected_ = index;
  App().SetCurrentAlbumId(index >= 0 ? ids_[static_cast<size_t>(index)] : 0);
  if (AlbumsListView* list = List()) {
    list->SetExpanded(index);
    if (index >= 0) list->EnsureVisible(index);
  }
}

void CAlbumsDlg::OnItemSelected(int index) {
  if (index < 0 || index >= static_cast<int>(ids_.size())) return;
  Select(index);
}

void CAlbumsDlg::OnCharacterTyped(const std::string& character) {
  const std::string typed = Utf8Prefix(character, 1);
  const int count = static_cast<int>(ids_.size());
  if (typed.empty() || count == 0) return;
  // The next album after the selected one, round the end of the list.
  for (int step = 1; step <= count; ++step) {
    const int index = ((selected_ < 0 ? -1 : selected_) + step + count) % count;
    const CAlbum* album = AlbumAt(index);
    if (album != nullptr && EqualsNoCase(Utf8Prefix(HtmlToText(album->name), 1), typed)) {
      Select(index);
      return;
    }
  }
}

void CAlbumsDlg::OnCoverWanted(int index) {
  if (index >= 0 && index < static_cast<int>(ids_.size())) {
    covers_->Request(ids_[static_cast<size_t>(index)]);
  }
}

void CAlbumsDlg::OnCoverChanged(int albumId) {
  // A notice for a list that is gone, or for an album no longer in it, finds nothing to draw.
  if (ids_.empty()) return;
  const int index = IndexOf(albumId);
  AlbumsListView* list = List();
  if (index < 0 || list == nullptr) return;
  list->SetItem(index, MakeItem(index));
}

// --- Leaving ---

void CAlbumsDlg::StopCovers() {
  // Nothing the page does next depends on it: the loader finds its records by identifier under
  // the list's lock (it traces a stop that took too long).
  (void)covers_->Stop();
  covers_->ClearRequests();
}

bool CAlbumsDlg::OnNext() {
  CAlbum& album = App().CurrentAlbum();
  if (album.albumID < 1) {
    if (App().CommandLine().FilesGiven()) {
      album.pendingFiles = App().CommandLine().FileList();
    } else {
      const int previous = selected_;
      if (AlbumsListView* list = List()) list->SetExpanded(-1);
      const AlbumFolderChoice choice = App().AppDialogs().PickAlbumFolder(
          NewAlbumFolderRequest(AppProfile(), App().Session().LoginName()));
      if (choice.folder.empty()) {
        Select(previous);
        return false;
      }
      album.localPath = choice.folder;
      album.pendingFiles = choice.files;
    }
  }
  StopCovers();
  return true;
}

bool CAlbumsDlg::OnBack() {
  StopCovers();
  return true;
}

bool CAlbumsDlg::CanLeave(const std::string& target) {
  StopCovers();
  if (target == kLoginPage) Empty();
  return true;
}

void CAlbumsDlg::Empty() {
  ids_.clear();
  selected_ = -1;
  if (AlbumsListView* list = List()) list->SetItems({});
  App().AlbumMngr().Clear();
  App().CurrentAlbum().Clear();
  App().SetCurrentAlbumId(0);
}

}  // namespace zerva
