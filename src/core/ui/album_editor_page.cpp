// CEditPhotosDlg: entering and leaving the page, and the thumbnail list's notices.
#include "ui/album_editor_page.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "app/elements.h"
#include "app/text_placeholders.h"
#include "app/trace.h"
#include "jobs/jobs_mngr.h"
#include "jobs/unknown_videos.h"
#include "lang/text.h"
#include "model/album.h"
#include "model/album_items.h"
#include "model/album_mngr.h"
#include "model/xml_fields.h"
#include "ui/album_editor_view.h"
#include "ui/album_list_load.h"
#include "ui/item_count_text.h"
#include "ui/item_location.h"
#include "ui/item_properties_text.h"
#include "ui/page_ids.h"
#include "ui/zerva_app.h"

namespace zerva {

// What the list's window reaches the page through; cleared when the page goes.
struct CEditPhotosDlg::Link {
  CEditPhotosDlg* page = nullptr;
};

CEditPhotosDlg::CEditPhotosDlg(CzervaApp& app, AlbumEditorView& view, ThumbsLoaderOptions loader)
    : app_(app), view_(view), controls_(view.Controls()), link_(std::make_shared<Link>()) {
  link_->page = this;
  std::shared_ptr<Link> link = link_;
  owner_ = app_.AppUiThread().MakeWindow([link](const WindowMessage& message) -> MessageParam {
    return link->page != nullptr ? link->page->OnListNotice(message) : 0;
  });
  list_ = std::make_unique<CThumbsListCtrl>(app_, controls_.ThumbnailList(kEditThumbs), owner_,
                                            std::move(loader));
  ThumbsListHooks hooks;
  hooks.propertiesText = ItemPropertiesText;
  SetLocationHooks(app_, &hooks);
  list_->SetHooks(std::move(hooks));
}

CEditPhotosDlg::~CEditPhotosDlg() {
  // Notices still on their way find no page.
  link_->page = nullptr;
  list_.reset();
}

CAlbum& CEditPhotosDlg::Album() {
  return app_.CurrentAlbum();
}

std::string CEditPhotosDlg::LoginName() const {
  return app_.Session().LoginName();
}

int CEditPhotosDlg::SelectedCount() const {
  return app_.CurrentAlbum().IncludedCount();
}

// --- Entering ---

void CEditPhotosDlg::OnShowPage(bool cameBack) {
  refusal_ = NextRefusal::kNone;
  if (cameBack) {
    ComeBackFromDetail();
    return;
  }
  const CAlbum& album = Album();
  const bool holdsAlbum = album.albumID >= 1 || !album.items.empty();
  if (view_.LastMoveWasBack() && holdsAlbum) {
    ReturnFromUpload();
    return;
  }
  EnterForward();
}

void CEditPhotosDlg::EnterForward() {
  filling_ = true;
  controls_.SetText(kEditName, "");
  controls_.SetText(kEditDesc, "");
  controls_.SetText(kEditFolderButton, Text("btnDirectory"));
  filling_ = false;
  // Until the album is shown, the empty fields say nothing about it.
  fieldsShown_ = false;
  if (Album().albumID >= 1) {
    OpenExistingAlbum();
  } else if (app_.CommandLine().FilesGiven()) {
    OpenListFiles();
  } else {
    OpenNewAlbum();
  }
}

bool CEditPhotosDlg::OpenNewAlbum() {
  CAlbum& album = Album();
  std::string folder = album.localPath;
  std::vector<std::string> files = album.pendingFiles;
  if (folder.empty()) {
    const AlbumFolderChoice choice = view_.PickAlbumFolder(FolderRequest(true));
    folder = choice.folder;
    files = choice.files;
  }
  if (folder.empty() || !LoadFolder(folder, files)) {
    view_.Back();
    return false;
  }
  Album().pendingFiles.clear();
  return true;
}

bool CEditPhotosDlg::OpenListFiles() {
  if (!StopLoader()) return false;
  CAlbum& album = Album();
  if (album.items.empty()) {
    ForgetItems();
    if (album.pendingFiles.empty()) album.pendingFiles = app_.CommandLine().FileList();
    if (album.ownerName.empty()) album.ownerName = app_.Session().Name();
    if (album.tempFolder.empty()) album.tempFolder = app_.Session().UserFolder();
    AddFiles(album, app_.AppDialogs());
  }
  if (album.items.empty()) {
    view_.Back();
    return false;
  }
  char stamp[16];
  std::snprintf(stamp, sizeof stamp, "%.8X", static_cast<unsigned>(std::time(nullptr)));
  album.albumID = -1;
  SetAlbumName(app_.CommandLine().Label() + "_" + stamp);
  album.modified = true;
  RecomputeDates();
  ShowAlbum(true);
  return true;
}

bool CEditPhotosDlg::OpenExistingAlbum() {
  if (!StopLoader()) return false;
  ForgetItems();
  CAlbum& album = Album();
  const int albumId = album.albumID;
  ShowFolder();
  std::string list;
  app_.ShowWaitMessage(Text("msgGetAlbumListStrFromServerText"),
                       Text("msgGetAlbumListStrFromServerTitle"));
  const bool listed = app_.Session().GetAlbumList(albumId, &list);
  app_.HideWaitMessage();
  std::string entry;
  if (listed && list != kNoAlbumsAnswer) {
    for (const std::string& element : GetElements(list, "album")) {
      if (ElementInt32(element, "albumID") == albumId) {
        entry = element;
        break;
      }
    }
  }
  CHttpConnect* connection = app_.MainConnection();
  if (entry.empty() || connection == nullptr) {
    TraceText(kTraceWarning, "Album editor: album " + std::to_string(albumId) +
                                 " is not in the service's list: " + app_.Session().LastError());
    view_.Back();
    return false;
  }
  const std::string tempFolder = album.tempFolder;
  album.FromXml(entry);
  album.tempFolder = tempFolder.empty() ? app_.Session().UserFolder() : tempFolder;
  const SessionCredentials user = app_.Session().Credentials();
  const int loaded =
      album.LoadFromServer(*connection, app_.AppDialogs(), albumId, user.name, user.passwordDigest,
                           user.userId, app_.AlbumMngr().FindById(albumId));
  if (loaded == 0) {
    view_.Back();
    return false;
  }
  if (loaded == 2) {
    // The user decided about the damaged items: the upload goes on at once.
    list_->Fill(&album, true);
    ShowFields();
    view_.GoTo(kCopyPage);
    return false;
  }
  ShowAlbum(true);
  return true;
}

void CEditPhotosDlg::ReturnFromUpload() {
  // The upload page may have left items out; the list shows the album again without reading
  // the folder or the service, so nothing the user did is lost.
  if (StopLoader()) {
    list_->Fill(&Album(), false);
    list_->StartLoader();
  } else {
    list_->Refresh();
  }
  ShowFields();
}

void CEditPhotosDlg::ComeBackFromDetail() {
  list_->Refresh();
  if (detailPosition_ >= 0) list_->SetCurrentPosition(detailPosition_);
  list_->StartLoader();
  RecomputeDates();
  ShowFields();
}

void CEditPhotosDlg::ShowAlbum(bool fresh) {
  list_->Fill(&Album(), fresh);
  if (fresh) ShowZoom(list_->ZoomPercent());
  list_->StartLoader();
  ShowFields();
}

bool CEditPhotosDlg::StopLoader() {
  // An upload's worker that did not stop when its page was left works on the items too.
  const bool loaderStopped = list_->ClearList();
  if (loaderStopped && !app_.JobsMngr().IsRunning()) return true;
  // The items stay as they are, and the user may try again.
  TraceText(kTraceWarning, loaderStopped ? "Album editor: the upload's worker still runs"
                                         : "Album editor: the thumbnail loader did not stop");
  app_.MessageBox(Text("msgThumbsLoaderBusy"), MessageKind::kWarning);
  return false;
}

void CEditPhotosDlg::ForgetItems() {
  app_.Previews().ReleaseAll();
  // Jobs of an earlier upload point at the items too.
  app_.JobsMngr().ClearJobs();
  nameUndo_.clear();
  detailPosition_ = -1;
}

// --- Leaving ---

void CEditPhotosDlg::Refuse(NextRefusal why, const std::string& text, MessageKind kind, int focus) {
  refusal_ = why;
  app_.MessageBox(text, kind);
  if (focus > 0) controls_.Focus(focus);
}

bool CEditPhotosDlg::ConfirmDeletionOnService(const std::vector<CPhoto*>& leftOut) {
  int photos = 0, videos = 0;
  for (const CPhoto* item : leftOut) {
    if (item->photoID > 0) ++(item->IsVideo() ? videos : photos);
  }
  if (photos + videos == 0) return true;
  const std::string question =
      FillTextPlaceholders(Text("EditPhotosDlgItemsToBeDeleted"), {ItemCountText(photos, videos)});
  return app_.MessageBox(question, MessageKind::kWarning, MessageButtons::kYesNo) == Reply::kYes;
}

bool CEditPhotosDlg::OnNext() {
  refusal_ = NextRefusal::kNone;
  TakeFields();
  CAlbum& album = Album();
  if (album.name.empty()) {
    Refuse(NextRefusal::kNameEmpty, Text("msgAlbumNameEmptyText"), MessageKind::kInformation,
           kEditName);
    return false;
  }
  if (album.name == "." || album.name == "..") {
    Refuse(NextRefusal::kNameDots, Text("msgAlbumNameErrorText"), MessageKind::kInformation,
           kEditName);
    return false;
  }
  if (album.albumSecure && (album.albumSecureName.empty() || album.albumSecurePass.empty())) {
    Refuse(NextRefusal::kSecureIncomplete, Text("msgAlbumSecureErrorText"),
           MessageKind::kInformation, 0);
    OpenProtection();
    controls_.Focus(album.albumSecureName.empty() ? kEditSecureName : kEditSecurePass);
    return false;
  }
  if (app_.AlbumMngr().IsNameTaken(album.name, album.albumID)) {
    Refuse(NextRefusal::kNameTaken, Text("msgAlbumExistText"), MessageKind::kInformation,
           kEditName);
    return false;
  }
  const int selected = SelectedCount();
  if (selected == 0) {
    Refuse(NextRefusal::kNothingSelected, Text("EditPhotosDlgNodeMessage"), MessageKind::kWarning,
           kEditThumbs);
    return false;
  }
  std::vector<CPhoto*> excluded;
  for (const auto& item : album.items) {
    if (!item->included) excluded.push_back(item.get());
  }
  if (!ConfirmDeletionOnService(excluded)) {
    refusal_ = NextRefusal::kDeletionDeclined;
    return false;
  }
  if (selected > album.itemLimit) {
    const std::string question =
        FillTextPlaceholders(Text("EditPhotosDlgTooManyPhotos"), {std::to_string(album.itemLimit)});
    if (app_.MessageBox(question, MessageKind::kInformation, MessageButtons::kYesNo) !=
        Reply::kYes) {
      refusal_ = NextRefusal::kTooManyDeclined;
      return false;
    }
    std::vector<CPhoto*> leftOut;
    int kept = 0;
    for (const auto& item : album.items) {
      if (item->included && ++kept > album.itemLimit) {
        item->included = false;
        leftOut.push_back(item.get());
      }
    }
    // Items left out that are on the service would go from it unasked: the question comes
    // again for them.
    if (!ConfirmDeletionOnService(leftOut)) {
      for (CPhoto* item : leftOut) item->included = true;
      refusal_ = NextRefusal::kDeletionDeclined;
      return false;
    }
    album.modified = true;
    list_->Refresh();
    ShowCounts();
  }
  if (!StopLoader()) {
    refusal_ = NextRefusal::kLoaderBusy;
    return false;
  }
  return true;
}

bool CEditPhotosDlg::OnBack() {
  TakeFields();
  CAlbum& album = Album();
  if (album.modified && app_.MessageBox(Text("msgNotSavedAlbum"), MessageKind::kWarning,
                                        MessageButtons::kYesNo) != Reply::kYes) {
    return false;
  }
  if (!StopLoader()) return false;
  // The albums page shows the service's state, not what the editor changed.
  if (album.modified) LoadAlbumList(app_);
  ForgetItems();
  list_->Fill(nullptr, false);
  album.Clear();
  album.modified = false;
  ShowFields();
  return true;
}

bool CEditPhotosDlg::CanLeave(const std::string& target) {
  controls_.StopTimer(kEditSizeTextTimer);
  TakeFields();
  if (target == kPhotoDetailPage) {
    // The loader goes on: the detail page shows the album's items.
    detailPosition_ = list_->CurrentPosition();
    return true;
  }
  if (!StopLoader()) return false;
  app_.Previews().ReleaseAll();
  return true;
}

void CEditPhotosDlg::OnBandClicked() {
  TakeFields();
}

void CEditPhotosDlg::ReleaseCaches() {
  app_.Previews().ReleaseAll();
}

// --- The list's notices ---

MessageParam CEditPhotosDlg::OnListNotice(const WindowMessage& message) {
  switch (message.id) {
    case kMsgThumbLoaded:  // an item was included or excluded
    case kMsgThumb1080:    // the list changed the album
      AfterItemsChanged();
      break;
    case kMsgThumb1082:
      view_.SetDetailIndex(static_cast<int>(message.wParam));
      view_.GoTo(kPhotoDetailPage);
      break;
    case kMsgThumb1084:
      // The loader's notice after its first pass concerns a new album only.
      if (message.wParam == 1 && Album().albumID >= 1) break;
      RecomputeDates();
      ShowDates();
      break;
    case kMsgThumb1085:
      SendOriginal(reinterpret_cast<CPhoto*>(message.lParam));
      break;
    default:
      break;
  }
  return 0;
}

void CEditPhotosDlg::SendOriginal(CPhoto* item) {
  // The notice was posted: the album may have changed since.
  const CAlbum& album = Album();
  const bool inAlbum = std::any_of(album.items.begin(), album.items.end(),
                                   [item](const auto& entry) { return entry.get() == item; });
  if (!inAlbum || !item->IsVideo() || item->localPath.empty()) {
    TraceText(kTraceWarning, "Album editor: the video to send is no longer in the album");
    return;
  }
  if (!SendOriginalExplicitly(item->localPath, app_.OriginalUploads())) {
    TraceText(kTraceWarning, "Album editor: the original of " + item->localPath + " is not sent");
  }
}

}  // namespace zerva
