// CEditPhotosDlg: what the user edits in the album's fields, and the page's controls that are
// no menu.
#include <algorithm>

#include "category/album_categories.h"
#include "lang/text.h"
#include "media/preparation_settings.h"
#include "model/album.h"
#include "model/album_mngr.h"
#include "model/date_interval.h"
#include "ui/account_checks.h"
#include "ui/album_dates.h"
#include "ui/album_editor_page.h"
#include "ui/album_editor_view.h"
#include "ui/category_menu.h"
#include "ui/free_server_dir.h"
#include "ui/item_watermark.h"
#include "ui/zerva_app.h"

namespace zerva {

void CEditPhotosDlg::OnCommand(int control) {
  switch (control) {
    case kEditFolderButton:
      OnFolderButton();
      break;
    case kEditFolderHistory:
      OnFolderHistory();
      break;
    case kEditVisibility:
      OpenProtection();
      break;
    case kEditProtectionPopup:  // the popup closed
      TakeFields();
      ShowVisibility();
      break;
    case kEditWatermark:
      OnWatermark();
      break;
    case kEditLink:
      OnLinkMenu();
      break;
    case kEditCategoryButton:
      OnCategoryMenu();
      break;
    case kEditAdvanced:
      detailsShown_ = !detailsShown_;
      ShowDetails();
      break;
    case kEditNamesButton:
      OnNamesMenu();
      break;
    case kEditSortButton:
      OnSortMenu();
      break;
    case kEditSelectButton:
      OnSelectMenu();
      break;
    case kEditAddPhotos:
      OnAddPhotos();
      break;
    case kEditSizeSlider:
      OnSizeSlider(true);
      break;
    default:
      break;
  }
}

void CEditPhotosDlg::OnEdited(int control) {
  if (filling_) return;
  switch (control) {
    case kEditName:
      OnNameEdited();
      break;
    case kEditDesc:
      OnDescriptionEdited();
      break;
    case kEditHidden:
    case kEditPasswordCheck:
      OnProtectionBox(control);
      break;
    case kEditSecureName:
    case kEditSecurePass:
      OnSecureField(control);
      break;
    case kEditDateFrom:
    case kEditDateTo:
      OnDateEdited(control);
      break;
    case kEditAutoDate:
      OnAutoDate();
      break;
    case kEditResolution:
      OnResolutionChosen();
      break;
    case kEditSizeSlider:
      OnSizeSlider(false);
      break;
    default:
      break;
  }
}

void CEditPhotosDlg::OnTimer(int timer) {
  if (timer == kEditSizeTextTimer) controls_.Show(kEditSizeText, false);
}

void CEditPhotosDlg::MarkModified() {
  Album().modified = true;
  UpdateNextButton();
}

// --- Name and description ---

void CEditPhotosDlg::OnNameEdited() {
  SetAlbumName(controls_.GetText(kEditName));
  MarkModified();
}

void CEditPhotosDlg::SetAlbumName(const std::string& name) {
  CAlbum& album = Album();
  album.name = name;
  // An album on the service keeps its directory: its files and its address live there, and
  // the service takes uploads only into it.
  const bool onService = album.albumID >= 1 && !album.serverDir.empty();
  if (!onService) {
    album.serverDir.clear();
    if (!name.empty()) {
      album.serverDir = FreeServerDir(app_.AlbumMngr(), ServerDirFromName(name), album.albumID);
    }
  }
  if (controls_.GetText(kEditName) != name) {
    filling_ = true;
    controls_.SetText(kEditName, name);
    filling_ = false;
  }
}

void CEditPhotosDlg::OnDescriptionEdited() {
  std::string text = controls_.GetText(kEditDesc);
  if (Utf8Length(text) > kMaxDescriptionChars) {
    text = Utf8Prefix(text, kMaxDescriptionChars);
    filling_ = true;
    controls_.SetText(kEditDesc, text);
    filling_ = false;
  }
  Album().desc = text;
  MarkModified();
}

// --- Protection ---

void CEditPhotosDlg::OpenProtection() {
  const CAlbum& album = Album();
  filling_ = true;
  controls_.SetChecked(kEditHidden, !album.albumVisible);
  controls_.SetChecked(kEditPasswordCheck, album.albumSecure);
  controls_.SetText(kEditSecureName, album.albumSecureName);
  controls_.SetText(kEditSecurePass, album.albumSecurePass);
  filling_ = false;
  ShowVisibility();
  controls_.Show(kEditProtectionPopup, true);
}

void CEditPhotosDlg::OnProtectionBox(int control) {
  CAlbum& album = Album();
  CUserSession& session = app_.Session();
  if (controls_.IsChecked(control)) {
    const std::vector<int> publicOnly =
        PublicOnlyCategories(session.Categories(), album.albumCategory);
    if (!publicOnly.empty()) {
      const std::string question =
          Text("msgAlbumProtectionConflict") + "\n" + Text("msgAlbumProtectionConflictEx");
      if (app_.MessageBox(question, MessageKind::kInformation, MessageButtons::kYesNo) !=
          Reply::kYes) {
        filling_ = true;
        controls_.SetChecked(control, false);
        filling_ = false;
        return;
      }
      for (const int id : publicOnly) album.albumCategory = RemoveCategory(album.albumCategory, id);
      ShowCategory();
    }
  }
  album.albumVisible = !controls_.IsChecked(kEditHidden);
  album.albumSecure = controls_.IsChecked(kEditPasswordCheck);
  MarkModified();
  ShowVisibility();
}

void CEditPhotosDlg::OnSecureField(int control) {
  CAlbum& album = Album();
  (control == kEditSecureName ? album.albumSecureName : album.albumSecurePass) =
      controls_.GetText(control);
  MarkModified();
}

// --- Dates ---

void CEditPhotosDlg::OnDateEdited(int control) {
  CAlbum& album = Album();
  const std::string day = controls_.GetText(control);
  const bool set = control == kEditDateFrom ? SetStartDay(album, day) : SetEndDay(album, day);
  if (set) {
    // Dates set by hand are kept: the upload would otherwise compute them from the items again.
    album.manualDateInterval = true;
    MarkModified();
  }
  ShowDates();
}

void CEditPhotosDlg::OnAutoDate() {
  CAlbum& album = Album();
  album.manualDateInterval = !controls_.IsChecked(kEditAutoDate);
  MarkModified();
  if (!album.manualDateInterval) ComputeDateInterval(album, true);
  ShowDates();
}

void CEditPhotosDlg::RecomputeDates() {
  CAlbum& album = Album();
  if (!album.manualDateInterval) ComputeDateInterval(album, true);
}

// --- Resolution and watermark ---

void CEditPhotosDlg::OnResolutionChosen() {
  const int index = controls_.Selected(kEditResolution);
  if (index < 0 || static_cast<size_t>(index) >= resolutions_.size()) return;
  // The upload page applies it to the items (and then makes it the album's image size), so
  // items already on the service are sent again at the new size.
  Album().resolution = resolutions_[static_cast<size_t>(index)];
  MarkModified();
  ShowResolutions();
  list_->StartLoader();
}

void CEditPhotosDlg::OnWatermark() {
  if (!StopLoader()) return;
  CAlbum& album = Album();
  const UserDetails& user = app_.Session().Details();
  album.defaultWatermark = !album.defaultWatermark;
  const PreparationSettings settings = PreparationSettingsFor(album);
  for (const auto& item : album.items) {
    if (item->hasWatermark == album.defaultWatermark) continue;
    if (!CanCarryWatermark(*item, user.watermarkWidth, user.watermarkHeight)) continue;
    // Prepared again by the loader, with or without the watermark.
    SetItemWatermark(*item, album.defaultWatermark, settings, album.resolution);
  }
  MarkModified();
  ShowWatermark();
  list_->Refresh();
  list_->StartLoader();
}

// --- Thumbnail size ---

void CEditPhotosDlg::OnSizeSlider(bool released) {
  int percent = controls_.GetValue(kEditSizeSlider);
  percent = std::clamp(percent, kMinZoomPercent, kMaxZoomPercent);
  percent = (percent + kZoomStep / 2) / kZoomStep * kZoomStep;
  controls_.SetText(kEditSizeText, std::to_string(percent) + " %");  // "%d %%"
  controls_.Show(kEditSizeText, true);
  if (!released) return;
  list_->SetZoom(percent);
  ShowZoom(percent);
  controls_.StartTimer(kEditSizeTextTimer, kSizeTextShownMs);
}

}  // namespace zerva
