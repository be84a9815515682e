// The album editor page ("CEditPhotosDlg") as a controller: a new album made from a folder (or
// from chosen files), or an existing album refreshed from the service and merged with its
// folder; its name, description, folder, protection, dates, target resolution and watermark;
// its items in the thumbnail list with the select, names and sort menus and added photos; and
// the checks before the upload. The window's page and zerva-cli each run it on their own view.
#pragma once

#include <cstddef>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/dialogs.h"
#include "app/message_target.h"
#include "ui/page_view.h"
#include "ui/thumbs_list_ctrl.h"

namespace zerva {

class AlbumEditorView;
class CAlbum;
class CPhoto;
class CzervaApp;

// Why the last OnNext kept the page.
enum class NextRefusal {
  kNone,
  kNameEmpty,
  kNameDots,
  kSecureIncomplete,
  kNameTaken,
  kNothingSelected,
  kDeletionDeclined,  // excluded items would be deleted on the service
  kTooManyDeclined,
  kLoaderBusy,  // the thumbnail loader did not stop
};

// Commands of the page's menus (what ShowMenu answers).
enum EditorMenuCommand {
  kSelectAll = 1,
  kSelectNone,
  kSelectInvert,
  kNamesDefault,
  kNamesClear,
  kNamesUndo,
  kLinkOpen,
  kLinkCopy,
  // The sort menu answers kSortCommandBase + the sort key.
  kSortCommandBase = 100,
};

// The slider's range, its step and where it starts.
inline constexpr int kZoomStep = 10;
inline constexpr int kDefaultZoom = 100;
// The longest description, in characters.
inline constexpr size_t kMaxDescriptionChars = 10000;
// How long the slider's percentage stays shown after it is released.
inline constexpr int kSizeTextShownMs = 1000;

class CEditPhotosDlg : public ControlEvents {
 public:
  // The application and the view outlive the page. `loader` tells the thumbnail list how to
  // load for this front end.
  CEditPhotosDlg(CzervaApp& app, AlbumEditorView& view, ThumbsLoaderOptions loader = {});
  ~CEditPhotosDlg() override;
  CEditPhotosDlg(const CEditPhotosDlg&) = delete;
  CEditPhotosDlg& operator=(const CEditPhotosDlg&) = delete;

  // --- Page operations ---
  void UpdateTexts();
  void InitControls();
  void OnShowPage(bool cameBack);
  bool OnNext();
  bool OnBack();
  bool CanLeave(const std::string& target);
  // A click on a band ends in-place edits.
  void OnBandClicked();
  void ReleaseCaches();

  // --- What the view reports ---
  void OnCommand(int control) override;
  void OnEdited(int control) override;
  void OnTimer(int timer) override;

  CThumbsListCtrl& List() { return *list_; }
  // The window on which the thumbnail list's notices arrive.
  const std::shared_ptr<MessageTarget>& ListOwner() const { return owner_; }
  // Included items of the current album.
  int SelectedCount() const;
  NextRefusal LastRefusal() const { return refusal_; }
  bool UndoAvailable() const { return !nameUndo_.empty(); }
  // An item's name was changed elsewhere (the photo detail page): the names undo would undo it.
  void DropNameUndo() { nameUndo_.clear(); }

 private:
  struct Link;

  CAlbum& Album();
  std::string LoginName() const;

  // --- Entering (album_editor_page.cpp) ---
  void EnterForward();
  // The jump back from the upload page: the album stays as the user left it.
  void ReturnFromUpload();
  void ComeBackFromDetail();
  bool OpenNewAlbum();
  bool OpenListFiles();
  bool OpenExistingAlbum();
  // Fills the list with the album, starts its loader and shows everything.
  void ShowAlbum(bool fresh);
  // Stops the loader before the album's items change; false (after telling the user) when it,
  // or an upload's worker, still works on them.
  bool StopLoader();
  // The album's items are about to go away: nothing may point at them any more.
  void ForgetItems();
  MessageParam OnListNotice(const WindowMessage& message);
  void SendOriginal(CPhoto* item);
  // Takes what the fields show into the album (an edit the view has not reported).
  void TakeFields();
  void Refuse(NextRefusal why, const std::string& text, MessageKind kind, int focus);
  // Items left out that the service holds are deleted there: true when there are none or the
  // user agrees.
  bool ConfirmDeletionOnService(const std::vector<CPhoto*>& leftOut);

  // --- Shown state (album_editor_texts.cpp) ---
  void ShowFields();
  void ShowFolder();
  void ShowVisibility();
  void ShowCategory();
  void ShowDates();
  void ShowResolutions();
  void ShowWatermark();
  void ShowCounts();
  void ShowLink();
  void ShowDetails();
  void UpdateNextButton();
  void ShowZoom(int percent);

  // --- Fields (album_editor_fields.cpp) ---
  void OnNameEdited();
  void SetAlbumName(const std::string& name);
  void OnDescriptionEdited();
  void OpenProtection();
  void OnProtectionBox(int control);
  void OnSecureField(int control);
  void OnDateEdited(int control);
  void OnAutoDate();
  // The interval from the included items, unless the user set it by hand.
  void RecomputeDates();
  void OnResolutionChosen();
  void OnWatermark();
  void MarkModified();

  // --- Folder (album_editor_folder.cpp) ---
  void OnFolderButton();
  void OnFolderHistory();
  std::vector<std::string> HistoryNewestFirst() const;
  AlbumFolderRequest FolderRequest(bool newAlbum) const;
  // Loads the folder (or the chosen files of it) into a new album; false when the album stays.
  bool LoadFolder(const std::string& folder, const std::vector<std::string>& files);
  void Relocate(const std::string& folder);
  void OnAddPhotos();

  // --- Menus (album_editor_menus.cpp) ---
  void OnSelectMenu();
  void OnNamesMenu();
  void OnSortMenu();
  void OnLinkMenu();
  // The category button (album_editor_category.cpp).
  void OnCategoryMenu();
  // Shows the category's form; true with its confirmed values.
  bool RunCategoryForm(int id, const std::string& startValues, std::string* confirmed);
  void OnSizeSlider(bool released);
  // Counts, sample texts and the Next button after the items' inclusion changed.
  void AfterItemsChanged();

  CzervaApp& app_;
  AlbumEditorView& view_;
  PageView& controls_;
  std::shared_ptr<Link> link_;
  std::shared_ptr<MessageTarget> owner_;
  bool filling_ = false;
  // The fields show the current album (and so may be taken into it).
  bool fieldsShown_ = false;
  bool detailsShown_ = false;
  // The list position selected when the photo detail page was opened.
  int detailPosition_ = -1;
  std::vector<int> resolutions_;
  // Names before the last default or clear, by item; empty: no undo.
  std::map<const CPhoto*, std::string> nameUndo_;
  NextRefusal refusal_ = NextRefusal::kNone;
  // Declared last: it stops its loader, which works on the album's items, before the rest goes.
  std::unique_ptr<CThumbsListCtrl> list_;
};

}  // namespace zerva
