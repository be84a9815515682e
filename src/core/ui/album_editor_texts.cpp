// CEditPhotosDlg: the page's texts and what its controls show of the album.
#include "category/album_categories.h"
#include "lang/text.h"
#include "model/album.h"
#include "model/date_interval.h"
#include "platform/fs.h"
#include "ui/album_dates.h"
#include "ui/album_editor_page.h"
#include "ui/album_editor_view.h"
#include "ui/album_next_button.h"
#include "ui/target_resolution.h"
#include "ui/zerva_app.h"

namespace zerva {
namespace {

constexpr int kOverLimitColour = 0xFF0000;

const char* VisibilityKey(bool visible, bool secure) {
  if (!visible) return secure ? "AlbumHiddenPassText" : "AlbumHiddenText";
  return secure ? "AlbumPassText" : "AlbumPublicText";
}

}  // namespace

void CEditPhotosDlg::UpdateTexts() {
  view_.SetHeader(Text("EditPhotosDlgTitle"), Text("EditPhotosDlgText"));
  view_.SetBackButton(Text("navBack"), "navPrevAlbumsTool");
  const std::pair<int, const char*> labels[] = {
      {kEditNameLabel, "albumName"},
      {kEditFolderLabel, "sourceDirectory"},
      {kEditDescLabel, "albumDesc"},
      {kEditVisibilityLabel, "albumVisibility"},
      {kEditHidden, "albumHidden"},
      {kEditPasswordCheck, "albumCheckPassword"},
      {kEditSecureNameLabel, "msgName"},
      {kEditSecurePassLabel, "pass"},
      {kEditCategoryLabel, "albumSelectCategory"},
      {kEditResolutionLabel, "btnRaiseResolution"},
      {kEditDateFromLabel, "dateFrom"},
      {kEditDateToLabel, "dateTo"},
      {kEditAutoDate, "btnAutoDate"},
      {kEditLink, "btnLink"},
      {kEditNamesButton, "EditPhotosDlgNamesBtn"},
      {kEditSortButton, "EditPhotosDlgSortBtn"},
      {kEditSelectButton, "EditPhotosDlgSelectBtn"},
      {kEditAddPhotos, "EditPhotosDlgAddPhotoBtn"},
      {kEditCountsLabel, "EditPhotosDlgSelectedCount"},
  };
  for (const auto& [control, key] : labels) controls_.SetText(control, Text(key));
  const std::pair<int, const char*> tooltips[] = {
      {kEditAddPhotos, "EditPhotosAddPhotoTool"},
      {kEditNamesButton, "EditPhotosNamesTool"},
      {kEditSortButton, "EditPhotosSortTool"},
      {kEditSelectButton, "EditPhotosSelectTool"},
      {kEditAutoDate, "btnAutoDateTool"},
      {kEditResolutionLabel, "btnRaiseResolutionTool"},
      {kEditResolution, "btnRaiseResolutionTool"},
      {kEditVisibilityLabel, "albumVisibilityTool"},
      {kEditVisibility, "btnShowAlbumVisibilityTool"},
  };
  for (const auto& [control, key] : tooltips) controls_.SetTooltip(control, Text(key));
  controls_.SetTooltip(kEditDetailsGroup, Text("EditPhotosDetailsIntroTool1") + "\n" +
                                              Text("EditPhotosDetailsIntroTool2"));
  controls_.SetText(kEditCategoryButton, Text("btnCategoryMenu"));
  ShowFields();
}

void CEditPhotosDlg::InitControls() {
  controls_.SetRange(kEditSizeSlider, kMinZoomPercent, kMaxZoomPercent, kZoomStep);
  ShowZoom(kDefaultZoom);
  controls_.Show(kEditSizeText, false);
  controls_.Show(kEditProtectionPopup, false);
  controls_.Show(kEditDetailsGroup, detailsShown_);
}

void CEditPhotosDlg::ShowFields() {
  const CAlbum& album = Album();
  filling_ = true;
  controls_.SetText(kEditName, album.name);
  controls_.SetText(kEditDesc, album.desc);
  controls_.SetChecked(kEditHidden, !album.albumVisible);
  controls_.SetChecked(kEditPasswordCheck, album.albumSecure);
  controls_.SetText(kEditSecureName, album.albumSecureName);
  controls_.SetText(kEditSecurePass, album.albumSecurePass);
  filling_ = false;
  fieldsShown_ = true;
  ShowFolder();
  ShowVisibility();
  ShowCategory();
  ShowDates();
  ShowResolutions();
  ShowWatermark();
  ShowCounts();
  ShowLink();
  ShowDetails();
  UpdateNextButton();
}

void CEditPhotosDlg::ShowFolder() {
  const CAlbum& album = Album();
  const bool exists = !album.localPath.empty() && DirectoryExists(album.localPath);
  std::string text = album.localPath;
  if (album.localPath.empty()) {
    text = Text("emptyDirectory");
  } else if (!exists) {
    text = Text("msgDirectoryNotExist") + " " + album.localPath;
  }
  controls_.SetText(kEditFolder, text);
  controls_.SetText(kEditFolderButton,
                    Text(album.albumID >= 1 && !exists ? "msgLocateDirectory" : "btnDirectory"));
}

void CEditPhotosDlg::ShowVisibility() {
  const CAlbum& album = Album();
  controls_.SetText(kEditVisibility, Text(VisibilityKey(album.albumVisible, album.albumSecure)));
  for (const int control :
       {kEditSecureNameLabel, kEditSecureName, kEditSecurePassLabel, kEditSecurePass}) {
    controls_.Enable(control, album.albumSecure);
  }
}

void CEditPhotosDlg::ShowCategory() {
  const CAlbum& album = Album();
  controls_.SetText(kEditCategory,
                    Text("albumCategory") + ": " +
                        CategoryNames(album.albumCategory, app_.Session().Categories()));
}

void CEditPhotosDlg::ShowDates() {
  CAlbum& album = Album();
  filling_ = true;
  controls_.SetText(kEditDateFrom, DayOfDate(album.startDateInterval));
  controls_.SetText(kEditDateTo, DayOfDate(album.endDateInterval));
  controls_.SetChecked(kEditAutoDate, !album.manualDateInterval);
  filling_ = false;
  const std::string label = DateIntervalLabel(album);
  controls_.SetText(kEditDateSample, label.empty() ? std::string() : "(" + label + ")");
}

void CEditPhotosDlg::ShowResolutions() {
  const CAlbum& album = Album();
  resolutions_ = TargetResolutions(album.env.PhotoResolution(album.albumCategory));
  std::vector<std::string> entries;
  int selected = static_cast<int>(resolutions_.size()) - 1;
  for (size_t i = 0; i < resolutions_.size(); ++i) {
    entries.push_back(std::to_string(resolutions_[i]) + " px");
    if (resolutions_[i] == album.resolution) selected = static_cast<int>(i);
  }
  filling_ = true;
  controls_.SetItems(kEditResolution, entries);
  controls_.Select(kEditResolution, selected);
  filling_ = false;
  controls_.SetText(kEditResolutionSample,
                    ResolutionSampleText(album, resolutions_[static_cast<size_t>(selected)]));
}

void CEditPhotosDlg::ShowWatermark() {
  const CAlbum& album = Album();
  const UserDetails& user = app_.Session().Details();
  controls_.SetText(kEditWatermark,
                    Text(album.defaultWatermark ? "btnWatermarkDel" : "btnWatermarkAdd"));
  // Without a watermark of the user's there is nothing to put on the photos.
  controls_.Enable(kEditWatermark, user.watermarkWidth > 0 && user.watermarkHeight > 0);
}

void CEditPhotosDlg::ShowCounts() {
  const CAlbum& album = Album();
  if (album.items.empty()) {
    controls_.SetText(kEditCounts, Text("EditPhotosDlgNode2"));
    controls_.SetTextColour(kEditCounts, kDefaultTextColour);
    controls_.SetTooltip(kEditZoom, "");
    return;
  }
  const int selected = SelectedCount();
  std::string text = std::to_string(selected) + "/" + std::to_string(album.items.size());
  const bool overLimit = selected > album.itemLimit;
  if (overLimit) {
    text += " (" + Text("EditPhotosDlgOptimal") + " " + std::to_string(album.itemLimit) + ")";
  }
  controls_.SetText(kEditCounts, text);
  controls_.SetTextColour(kEditCounts, overLimit ? kOverLimitColour : kDefaultTextColour);
  controls_.SetTooltip(kEditZoom, Text("btnZoominTool"));
}

void CEditPhotosDlg::ShowLink() {
  const CAlbum& album = Album();
  controls_.Show(kEditLink, album.albumID >= 1 && !album.AlbumUrl().empty());
}

void CEditPhotosDlg::ShowDetails() {
  controls_.Show(kEditDetailsGroup, detailsShown_);
  controls_.SetText(kEditAdvanced, Text(detailsShown_ ? "btnAdvanced2" : "btnAdvanced"));
  controls_.SetTooltip(kEditAdvanced,
                       Text(detailsShown_ ? "btnHideAlbumDetailsTool" : "btnShowAlbumDetailsTool"));
}

void CEditPhotosDlg::UpdateNextButton() {
  const AlbumNextButtonState next = AlbumNextButton(Album());
  view_.SetNextButton(next.caption, next.tooltipKey, next.enabled);
}

void CEditPhotosDlg::ShowZoom(int percent) {
  controls_.SetValue(kEditSizeSlider, percent);
  // "%s %d %%"
  controls_.SetTooltip(kEditSizeSlider,
                       Text("sliderThumbSize") + " " + std::to_string(percent) + " %");
}

void CEditPhotosDlg::AfterItemsChanged() {
  ShowCounts();
  ShowResolutions();
  UpdateNextButton();
}

void CEditPhotosDlg::TakeFields() {
  if (filling_ || !fieldsShown_) return;
  const CAlbum& album = Album();
  if (controls_.GetText(kEditName) != album.name) OnNameEdited();
  if (controls_.GetText(kEditDesc) != album.desc) OnDescriptionEdited();
  if (controls_.GetText(kEditSecureName) != album.albumSecureName) OnSecureField(kEditSecureName);
  if (controls_.GetText(kEditSecurePass) != album.albumSecurePass) OnSecureField(kEditSecurePass);
}

}  // namespace zerva
