#include "ui/photo_detail_page.h"

#include <algorithm>
#include <mutex>

#include "lang/text.h"
#include "media/video_player.h"
#include "model/album.h"
#include "ui/album_editor_page.h"
#include "ui/album_editor_window_page.h"
#include "ui/album_next_button.h"
#include "ui/thumbs_list_ctrl.h"
#include "ui/video_props_edit.h"
#include "ui/zerva_app.h"
#include "ui/zerva_dlg.h"

namespace zerva {
namespace {

constexpr std::string_view kBreak = "<br>";
constexpr std::string_view kShownBreak = "\r\n";

// Clears `flag` when it goes, however the work ends.
class BusyScope {
 public:
  explicit BusyScope(bool& flag) : flag_(flag) { flag_ = true; }
  ~BusyScope() { flag_ = false; }
  BusyScope(const BusyScope&) = delete;
  BusyScope& operator=(const BusyScope&) = delete;

 private:
  bool& flag_;
};

std::string IncludeText(const CPhoto& item) {
  if (item.included) return item.isVideo ? Text("includedVideo") : Text("includedPhoto");
  return item.isVideo ? Text("excludedVideo") : Text("excludedPhoto");
}

}  // namespace

std::string DescriptionForEditing(const std::string& stored) {
  std::string shown;
  size_t from = 0;
  for (size_t at = stored.find(kBreak); at != std::string::npos; at = stored.find(kBreak, from)) {
    shown.append(stored, from, at - from).append(kShownBreak);
    from = at + kBreak.size();
  }
  return shown.append(stored, from, std::string::npos);
}

std::string DescriptionFromEditing(const std::string& shown) {
  std::string stored;
  for (size_t i = 0; i < shown.size(); ++i) {
    if (shown[i] == '\r' || shown[i] == '\n') {
      if (shown[i] == '\r' && i + 1 < shown.size() && shown[i + 1] == '\n') ++i;
      stored.append(kBreak);
    } else {
      stored.push_back(shown[i]);
    }
  }
  return stored;
}

CEditPhotoDetailDlg::CEditPhotoDetailDlg(CzervaDlg& window, PageView& view)
    : CZervaDialog(window, PageId::kPhotoDetail, view) {}

CAlbum& CEditPhotoDetailDlg::Album() {
  return App().CurrentAlbum();
}

int CEditPhotoDetailDlg::Count() {
  return static_cast<int>(Album().items.size());
}

CPhoto* CEditPhotoDetailDlg::ItemAt(int index) {
  if (index < 0 || index >= Count()) return nullptr;
  return Album().items[static_cast<size_t>(index)].get();
}

CPhoto* CEditPhotoDetailDlg::Item() {
  return ItemAt(index_);
}

CEditPhotosDlg* CEditPhotoDetailDlg::Editor() {
  auto* page = dynamic_cast<CEditPhotosWindowPage*>(Window().Pages().Page(PageId::kEditPhotos));
  return page != nullptr ? &page->Editor() : nullptr;
}

CThumbsListCtrl* CEditPhotoDetailDlg::List() {
  CEditPhotosDlg* editor = Editor();
  return editor != nullptr ? &editor->List() : nullptr;
}

// --- Texts ---

void CEditPhotoDetailDlg::UpdateTexts() {
  const CPhoto* item = Item();
  Window().SetHeaderTitle(item != nullptr && item->isVideo ? Text("EditPhotoDetailDlgTitleVideo")
                                                           : Text("EditPhotoDetailDlgTitle"));
  Window().SetHeaderText(Text("EditPhotoDetailDlgText"));
  Window().SetBackButton(Text("navPrevPhotos"), "navPrevPhotosTool");
  Window().ShowBackButton(true);
  Window().EnableBackButton(true);
  PageView& view = View();
  view.SetText(kDetailPrev, Text("EditPhotoDetailDlgPrevBtn"));
  view.SetText(kDetailNext, Text("EditPhotoDetailDlgNextBtn"));
  view.SetText(kDetailVideoProps, Text("msgVideoPropsDlg"));
  view.SetTooltip(kDetailVideoProps, Text("msgVideoPropsDlgTool"));
  view.SetText(kDetailTurnLeft, Text("rotateLeft"));
  view.SetTooltip(kDetailTurnLeft, Text("rotateLeft"));
  view.SetText(kDetailTurnRight, Text("rotateRight"));
  view.SetTooltip(kDetailTurnRight, Text("rotateRight"));
  view.SetText(kDetailPlay, Text("msgPlayVideo"));
  view.SetTooltip(kDetailPlay, Text("msgPlayVideo"));
  view.SetCueText(kDetailName, Text("photoNamePrompt"));
  view.SetCueText(kDetailDesc, Text("photoDescPrompt"));
  view.SetTooltip(kDetailNameSave, Text("msgClickToSave"));
  view.SetTooltip(kDetailDescSave, Text("msgClickToSave"));
  ShowFieldTooltip(EditField::kName);
  ShowFieldTooltip(EditField::kDesc);
  if (item != nullptr) {
    ShowMarks();
    ShowMoves();
  }
  UpdateNextButton();
  CZervaDialog::UpdateTexts();
}

void CEditPhotoDetailDlg::ShowFieldTooltip(EditField field) {
  const bool name = field == EditField::kName;
  const std::string label = name ? Text("msgPhotoName") : Text("msgPhotoDesc");
  const std::string action = editing_ == field ? Text("msgEscToCancel") : Text("msgClickToEdit");
  View().SetTooltip(name ? kDetailName : kDetailDesc, label + " - " + action);
}

void CEditPhotoDetailDlg::UpdateNextButton() {
  const AlbumNextButtonState next = AlbumNextButton(Album());
  Window().SetNextButton(next.caption, next.tooltipKey);
  Window().ShowNextButton(true);
  Window().EnableNextButton(next.enabled);
}

// --- Showing ---

void CEditPhotoDetailDlg::OnShowPage(bool /*cameBack*/) {
  editing_ = EditField::kNone;
  index_ = Window().DetailIndex();
  if (index_ < 0 || index_ >= Count()) index_ = 0;
  Window().SetDetailIndex(index_);
  // From 0, so that the first of many items shows a little of the bar and the last all of it.
  View().SetRange(kDetailPositionBar, 0, std::max(Count(), 1), 1);
  ShowItem();
  Queue(index_ + 1);
  Queue(index_ - 1);
  // The keys go to the page, and no field starts an edit by taking the first focus.
  View().Focus(kDetailPicture);
}

void CEditPhotoDetailDlg::MoveTo(int index, int ahead) {
  if (ItemAt(index) == nullptr) return;
  EndEdit(true);
  index_ = index;
  Window().SetDetailIndex(index_);
  ShowItem();
  Queue(index_ + ahead);
}

void CEditPhotoDetailDlg::ShowItem() {
  CPhoto* item = Item();
  PreviewCache& previews = App().Previews();
  previews.SetShown(item);
  for (const int control : {kDetailNameSave, kDetailDescSave}) View().Show(control, false);
  if (item == nullptr) {
    View().SetText(kDetailPosition, "");
    View().SetPicture(kDetailPicture, nullptr);
    for (const int control : {kDetailPrev, kDetailNext, kDetailInclude, kDetailCover,
                              kDetailTurnLeft, kDetailTurnRight, kDetailName, kDetailDesc}) {
      View().Enable(control, false);
    }
    for (const int control : {kDetailPlay, kDetailVideoProps}) View().Show(control, false);
    return;
  }
  for (const int control : {kDetailInclude, kDetailCover, kDetailTurnLeft, kDetailTurnRight,
                            kDetailName, kDetailDesc}) {
    View().Enable(control, true);
  }
  previews.Add(item);
  if (CThumbsListCtrl* list = List()) list->Prioritise(item);
  Window().SetHeaderTitle(item->isVideo ? Text("EditPhotoDetailDlgTitleVideo")
                                        : Text("EditPhotoDetailDlgTitle"));
  View().SetText(kDetailPosition, std::to_string(index_ + 1) + " / " + std::to_string(Count()));
  View().SetValue(kDetailPositionBar, index_ + 1);
  ShowMoves();
  ShowMarks();
  ShowFields();
  View().Show(kDetailTurnLeft, CanTurn(*item));
  View().Show(kDetailTurnRight, CanTurn(*item));
  View().Show(kDetailPlay, CanPlay(*item));
  View().Show(kDetailVideoProps, item->isVideo && CanEditVideoProperties(*item));
  ShowPicture();
}

void CEditPhotoDetailDlg::Queue(int index) {
  CPhoto* item = ItemAt(index);
  if (item == nullptr) return;
  App().Previews().Add(item);
  if (CThumbsListCtrl* list = List()) list->Prioritise(item);
}

void CEditPhotoDetailDlg::ShowPicture() {
  CPhoto* item = Item();
  if (item == nullptr) return;
  ImagePtr picture;
  bool waiting = false;
  {
    std::lock_guard<std::mutex> lock(item->lock);
    // The thumbnail stands in while the large picture is made.
    picture = item->preparedImage ? item->preparedImage
                                  : (item->thumbnail ? item->thumbnail : item->quickImage);
    waiting = item->preparedImage == nullptr && !item->thumbFailed;
  }
  View().SetPicture(kDetailPicture, picture);
  CThumbsListCtrl* list = List();
  if (waiting && list != nullptr && list->LoaderRunning()) {
    View().StartTimer(kDetailPreviewTimer, kDetailPreviewPollMs);
  } else {
    View().StopTimer(kDetailPreviewTimer);
  }
}

void CEditPhotoDetailDlg::ShowMoves() {
  const bool previous = index_ > 0;
  const bool next = index_ + 1 < Count();
  View().Enable(kDetailPrev, previous);
  View().SetTooltip(kDetailPrev, previous ? Text("EditPhotoDetailDlgPrevTool") : std::string());
  View().Enable(kDetailNext, next);
  View().SetTooltip(kDetailNext, next ? Text("EditPhotoDetailDlgNextTool") : std::string());
}

void CEditPhotoDetailDlg::ShowMarks() {
  const CPhoto* item = Item();
  if (item == nullptr) return;
  const std::string include = IncludeText(*item);
  View().SetChecked(kDetailInclude, item->included);
  View().SetText(kDetailInclude, include);
  View().SetTooltip(
      kDetailInclude,
      include + " - " + (item->included ? Text("msgClickToExclude") : Text("msgClickToInclude")));
  const bool cover = !Album().thumbName.empty() && Album().thumbName == item->fileName;
  const std::string coverText = cover ? Text("setAsDefault") : Text("setAsDefaultTool");
  View().SetChecked(kDetailCover, cover);
  View().SetText(kDetailCover, coverText);
  View().SetTooltip(kDetailCover, coverText);
}

void CEditPhotoDetailDlg::ShowFields() {
  const CPhoto* item = Item();
  if (item == nullptr) return;
  std::string name, desc;
  {
    // The loader may give a new album's items their EXIF titles meanwhile.
    std::lock_guard<std::mutex> lock(item->lock);
    name = item->name;
    desc = item->desc;
  }
  View().SetText(kDetailName, name);
  View().SetText(kDetailDesc, DescriptionForEditing(desc));
  ShowFieldTooltip(EditField::kName);
  ShowFieldTooltip(EditField::kDesc);
}

bool CEditPhotoDetailDlg::CanTurn(const CPhoto& item) const {
  // A video is turned by converting it again, which needs its file.
  return !item.isVideo || item.HasLocalFile();
}

bool CEditPhotoDetailDlg::CanPlay(const CPhoto& item) {
  return item.isVideo && App().VideoPlayerPresent() && !VideoPlayLocation(item).empty();
}

// --- Leaving ---

bool CEditPhotoDetailDlg::CanLeave(const std::string& target) {
  View().StopTimer(kDetailPreviewTimer);
  EndEdit(true);
  if (target != kEditPhotosPage) {
    CZervaDialog* editor = Window().Pages().Page(PageId::kEditPhotos);
    if (editor != nullptr && !editor->CanLeave(target)) return false;
  }
  // No item is shown any more; the cache keeps its pictures for the next visit.
  App().Previews().SetShown(nullptr);
  return true;
}

bool CEditPhotoDetailDlg::OnNext() {
  EndEdit(true);
  CZervaDialog* editor = Window().Pages().Page(PageId::kEditPhotos);
  return editor == nullptr || editor->OnNext();
}

void CEditPhotoDetailDlg::OnBandClicked() {
  EndEdit(true);
}

void CEditPhotoDetailDlg::ReleaseCaches() {
  App().Previews().ReleaseAll();
}

// --- Events ---

void CEditPhotoDetailDlg::OnCommand(int control) {
  switch (control) {
    case kDetailName:
      BeginEdit(EditField::kName);
      return;
    case kDetailDesc:
      BeginEdit(EditField::kDesc);
      return;
    case kDetailNameSave:
    case kDetailDescSave:
      // Also what the view reports when the field is left: only the field's own edit ends.
      if (editing_ == (control == kDetailNameSave ? EditField::kName : EditField::kDesc)) {
        EndEdit(true);
      }
      return;
    default:
      break;
  }
  // A click on the picture while it is being turned is not taken.
  if (busy_) return;
  EndEdit(true);
  switch (control) {
    case kDetailPrev:
      MoveTo(index_ - 1, -1);
      break;
    case kDetailNext:
      MoveTo(index_ + 1, 1);
      break;
    case kDetailInclude:
      ToggleInclude();
      break;
    case kDetailCover:
      ToggleCover();
      break;
    case kDetailTurnLeft:
      Turn(3);
      break;
    case kDetailTurnRight:
      Turn(1);
      break;
    case kDetailPlay:
      Play();
      break;
    case kDetailVideoProps:
      EditVideoProperties();
      break;
    case kDetailClose:
      Window().Back();
      break;
    default:
      break;
  }
}

void CEditPhotoDetailDlg::OnTimer(int timer) {
  if (timer != kDetailPreviewTimer || Window().CurrentPage() != this) return;
  ShowPicture();
}

void CEditPhotoDetailDlg::OnEnter() {
  if (editing_ == EditField::kNone) return;
  EndEdit(true);
  View().Focus(kDetailPicture);
}

void CEditPhotoDetailDlg::OnEscape() {
  if (editing_ == EditField::kNone) return;
  EndEdit(false);
  View().Focus(kDetailPicture);
}

// --- Picture actions ---

void CEditPhotoDetailDlg::ToggleInclude() {
  CThumbsListCtrl* list = List();
  if (Item() == nullptr || list == nullptr) return;
  // The list's own command: the cover moves on when the cover is left out, and the editor
  // recounts.
  list->Execute(ThumbCommand::kToggleInclude, index_);
  ShowMarks();
  UpdateNextButton();
}

void CEditPhotoDetailDlg::ToggleCover() {
  CPhoto* item = Item();
  CThumbsListCtrl* list = List();
  if (item == nullptr || list == nullptr) return;
  CAlbum& album = Album();
  if (album.thumbName == item->fileName) {
    album.thumbName.clear();
    album.modified = true;
    list->RecomputeCover(false);
  } else {
    list->Execute(ThumbCommand::kSetCover, index_);
  }
  ShowMarks();
  UpdateNextButton();
}

void CEditPhotoDetailDlg::Turn(int quarters) {
  CPhoto* item = Item();
  CThumbsListCtrl* list = List();
  if (item == nullptr || list == nullptr || !CanTurn(*item)) return;
  BusyScope busy(busy_);
  View().StopTimer(kDetailPreviewTimer);
  // The list stops its loader, turns the item's pictures, marks a video for conversion and
  // the album modified.
  list->Execute(quarters == 3 ? ThumbCommand::kTurnLeft : ThumbCommand::kTurnRight, index_);
  ShowItem();
  UpdateNextButton();
}

void CEditPhotoDetailDlg::Play() {
  CPhoto* item = Item();
  if (item == nullptr || !CanPlay(*item)) return;
  if (CThumbsListCtrl* list = List()) list->Execute(ThumbCommand::kPlayVideo, index_);
}

void CEditPhotoDetailDlg::EditVideoProperties() {
  CPhoto* item = Item();
  if (item == nullptr || !item->isVideo || !CanEditVideoProperties(*item)) return;
  CThumbsListCtrl* list = List();
  // A new thumbnail position makes the thumbnail again: not under the loader.
  if (list != nullptr && !list->ClearList()) {
    App().MessageBox(Text("msgThumbsLoaderBusy"), MessageKind::kWarning);
    return;
  }
  // The dialog marks a changed item and its album itself.
  (void)zerva::EditVideoProperties(App(), *item);
  if (list != nullptr) list->StartLoader();
  ShowItem();
  UpdateNextButton();
}

// --- In-place editing ---

void CEditPhotoDetailDlg::BeginEdit(EditField field) {
  if (Item() == nullptr || editing_ == field) return;
  EndEdit(true);
  editing_ = field;
  ShowFieldTooltip(field);
  const bool name = field == EditField::kName;
  View().Show(name ? kDetailNameSave : kDetailDescSave, true);
  View().Focus(name ? kDetailName : kDetailDesc);
}

void CEditPhotoDetailDlg::EndEdit(bool keep) {
  const EditField field = editing_;
  if (field == EditField::kNone) return;
  editing_ = EditField::kNone;
  const bool name = field == EditField::kName;
  const int control = name ? kDetailName : kDetailDesc;
  View().Show(name ? kDetailNameSave : kDetailDescSave, false);
  ShowFieldTooltip(field);
  CPhoto* item = Item();
  if (item == nullptr) return;
  if (!keep) {
    ShowFields();
    return;
  }
  const std::string shown = View().GetText(control);
  const std::string text = name ? shown : DescriptionFromEditing(shown);
  {
    std::lock_guard<std::mutex> lock(item->lock);
    std::string& stored = name ? item->name : item->desc;
    if (stored == text) return;
    stored = text;
    item->edited = true;
  }
  Album().modified = true;
  if (CEditPhotosDlg* editor = Editor()) editor->DropNameUndo();
  UpdateNextButton();
}

}  // namespace zerva
