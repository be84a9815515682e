// The photo detail page ("CEditPhotoDetailDlg"): one item of the album the editor holds, shown
// large, with its name and description edited in place; stepping to the previous and next item,
// including or leaving out the item, making it the cover, turning it, playing a video and its
// video properties. The editor opens it with the item's index and takes the user back; its
// thumbnail list loads the large pictures, which the application's preview cache keeps.
#pragma once

#include <string>

#include "ui/zerva_dialog.h"

namespace zerva {

class CAlbum;
class CEditPhotosDlg;
class CPhoto;
class CThumbsListCtrl;

// --- Controls ---
inline constexpr int kDetailPicture = 1300;      // the large picture; focus holds the keys
inline constexpr int kDetailPosition = 1301;     // "3 / 10"
inline constexpr int kDetailPositionBar = 1302;  // 0 .. the item count, at the position
inline constexpr int kDetailPrev = 1303;
inline constexpr int kDetailNext = 1304;
inline constexpr int kDetailInclude = 1305;  // checkable mark: the item is in the album
inline constexpr int kDetailCover = 1306;    // checkable mark: the item is the album's cover
inline constexpr int kDetailTurnLeft = 1307;
inline constexpr int kDetailTurnRight = 1308;
inline constexpr int kDetailPlay = 1309;
inline constexpr int kDetailVideoProps = 1310;
// The name and the description: a click on the field starts an in-place edit (the view reports
// it as a command of the field), its save button or leaving the field ends it (the view reports
// leaving as the save button's command), Enter ends it, Escape drops it.
inline constexpr int kDetailName = 1311;
inline constexpr int kDetailNameSave = 1312;
inline constexpr int kDetailDesc = 1313;
inline constexpr int kDetailDescSave = 1314;
// The picture area's close notice (a double click on it): back to the editor.
inline constexpr int kDetailClose = 1315;

// Looks again for the shown item's large picture while the loader makes it.
inline constexpr int kDetailPreviewTimer = 1;
inline constexpr int kDetailPreviewPollMs = 150;

// The description keeps its line breaks as "<br>"; the field shows them as "\r\n".
std::string DescriptionForEditing(const std::string& stored);
// Any line break of the field ("\r\n", "\n" or "\r") becomes "<br>".
std::string DescriptionFromEditing(const std::string& shown);

class CEditPhotoDetailDlg : public CZervaDialog {
 public:
  enum class EditField { kNone, kName, kDesc };
  CEditPhotoDetailDlg(CzervaDlg& window, PageView& view);

  void UpdateTexts() override;
  void OnShowPage(bool cameBack) override;
  // The page works on the editor's items while the editor's loader goes on: leaving it for any
  // page but the editor leaves the editor as well.
  bool CanLeave(const std::string& target) override;
  // The upload follows: the editor's checks decide.
  bool OnNext() override;
  void OnBandClicked() override;
  void ReleaseCaches() override;
  void OnCommand(int control) override;
  void OnTimer(int timer) override;
  void OnEnter() override;
  void OnEscape() override;

  int Index() const { return index_; }
  bool Busy() const { return busy_; }
  EditField Editing() const { return editing_; }

 private:
  CAlbum& Album();
  int Count();
  CPhoto* Item();
  CPhoto* ItemAt(int index);
  // The editor's controller and its thumbnail list; null when the window has none.
  CEditPhotosDlg* Editor();
  CThumbsListCtrl* List();

  void MoveTo(int index, int ahead);
  void ShowItem();
  // Puts the item into the preview cache and asks the loader for it.
  void Queue(int index);
  void ShowPicture();
  void ShowMarks();
  void ShowMoves();
  void ShowFields();
  void UpdateNextButton();

  void ToggleInclude();
  void ToggleCover();
  void Turn(int quarters);
  void Play();
  void EditVideoProperties();
  bool CanTurn(const CPhoto& item) const;
  bool CanPlay(const CPhoto& item);

  void BeginEdit(EditField field);
  // Ends the edit; `keep` stores a changed text in the item.
  void EndEdit(bool keep);
  void ShowFieldTooltip(EditField field);

  int index_ = 0;
  bool busy_ = false;
  EditField editing_ = EditField::kNone;
};

}  // namespace zerva
