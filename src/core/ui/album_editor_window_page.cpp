#include "ui/album_editor_window_page.h"

#include "ui/zerva_app.h"
#include "ui/zerva_dlg.h"

namespace zerva {

CEditPhotosWindowPage::CEditPhotosWindowPage(CzervaDlg& window, PageView& view)
    : CZervaDialog(window, PageId::kEditPhotos, view),
      editor_(std::make_unique<CEditPhotosDlg>(window.App(), *this)) {}

CEditPhotosWindowPage::~CEditPhotosWindowPage() = default;

void CEditPhotosWindowPage::UpdateTexts() {
  editor_->UpdateTexts();
  CZervaDialog::UpdateTexts();
}

void CEditPhotosWindowPage::InitControls() {
  editor_->InitControls();
}

void CEditPhotosWindowPage::OnShowPage(bool cameBack) {
  editor_->OnShowPage(cameBack);
}

bool CEditPhotosWindowPage::CanLeave(const std::string& target) {
  return editor_->CanLeave(target);
}

bool CEditPhotosWindowPage::OnNext() {
  return editor_->OnNext();
}

bool CEditPhotosWindowPage::OnBack() {
  return editor_->OnBack();
}

void CEditPhotosWindowPage::OnBandClicked() {
  editor_->OnBandClicked();
}

void CEditPhotosWindowPage::ReleaseCaches() {
  editor_->ReleaseCaches();
}

void CEditPhotosWindowPage::OnCommand(int control) {
  editor_->OnCommand(control);
}

void CEditPhotosWindowPage::OnEdited(int control) {
  editor_->OnEdited(control);
}

void CEditPhotosWindowPage::OnTimer(int timer) {
  editor_->OnTimer(timer);
}

void CEditPhotosWindowPage::SetHeader(const std::string& title, const std::string& text) {
  Window().SetHeaderTitle(title);
  Window().SetHeaderText(text);
}

void CEditPhotosWindowPage::SetNextButton(const std::string& caption, const std::string& tooltipKey,
                                          bool enabled) {
  Window().SetNextButton(caption, tooltipKey);
  Window().ShowNextButton(true);
  Window().EnableNextButton(enabled);
}

void CEditPhotosWindowPage::SetBackButton(const std::string& caption,
                                          const std::string& tooltipKey) {
  Window().SetBackButton(caption, tooltipKey);
  Window().ShowBackButton(true);
  Window().EnableBackButton(true);
}

bool CEditPhotosWindowPage::Next() {
  return Window().Next(this);
}

bool CEditPhotosWindowPage::Back() {
  return Window().Back();
}

bool CEditPhotosWindowPage::GoTo(std::string_view pageName) {
  return Window().GoTo(pageName, this);
}

bool CEditPhotosWindowPage::LastMoveWasBack() const {
  return Window().LastMoveWasBack();
}

void CEditPhotosWindowPage::SetDetailIndex(int index) {
  Window().SetDetailIndex(index);
}

AlbumFolderChoice CEditPhotosWindowPage::PickAlbumFolder(const AlbumFolderRequest& request) {
  return App().AppDialogs().PickAlbumFolder(request);
}

std::vector<std::string> CEditPhotosWindowPage::PickFiles(const std::string& title,
                                                          const std::string& startFolder,
                                                          const std::string& filters,
                                                          int selectedFilter) {
  return App().AppDialogs().PickFilesWithFilters(title, startFolder, filters, selectedFilter);
}

}  // namespace zerva
