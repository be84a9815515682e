// The album editor as a page of the window ("CEditPhotosDlg"): it owns the editor's controller
// and is its view, reaching the header, the navigation buttons and the moves through the main
// window and the pickers through the application's dialogs.
#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/album_editor_page.h"
#include "ui/album_editor_view.h"
#include "ui/zerva_dialog.h"

namespace zerva {

class CEditPhotosWindowPage : public CZervaDialog, public AlbumEditorView {
 public:
  CEditPhotosWindowPage(CzervaDlg& window, PageView& view);
  ~CEditPhotosWindowPage() override;

  CEditPhotosDlg& Editor() { return *editor_; }

  // --- The page ---
  void UpdateTexts() override;
  void InitControls() override;
  void OnShowPage(bool cameBack) override;
  bool CanLeave(const std::string& target) override;
  bool OnNext() override;
  bool OnBack() override;
  void OnBandClicked() override;
  void ReleaseCaches() override;
  void OnCommand(int control) override;
  void OnEdited(int control) override;
  void OnTimer(int timer) override;

  // --- AlbumEditorView ---
  PageView& Controls() override { return View(); }
  void SetHeader(const std::string& title, const std::string& text) override;
  void SetNextButton(const std::string& caption, const std::string& tooltipKey,
                     bool enabled) override;
  void SetBackButton(const std::string& caption, const std::string& tooltipKey) override;
  bool Next() override;
  bool Back() override;
  bool GoTo(std::string_view pageName) override;
  bool LastMoveWasBack() const override;
  void SetDetailIndex(int index) override;
  AlbumFolderChoice PickAlbumFolder(const AlbumFolderRequest& request) override;
  std::vector<std::string> PickFiles(const std::string& title, const std::string& startFolder,
                                     const std::string& filters, int selectedFilter) override;

 private:
  std::unique_ptr<CEditPhotosDlg> editor_;
};

}  // namespace zerva
