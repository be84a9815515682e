// What the album editor page shows and where it moves: its controls by number, the header and
// the navigation buttons, the page moves and the pickers. The window's page, zerva-cli and the
// tests each implement it, so every front end runs the same editor.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/dialogs.h"
#include "ui/page_view.h"

namespace zerva {

// --- Controls of the album editor page ---
inline constexpr int kEditNameLabel = 400;
inline constexpr int kEditName = 401;  // line edit
inline constexpr int kEditFolderLabel = 402;
inline constexpr int kEditFolder = 403;         // label: the local folder
inline constexpr int kEditFolderButton = 404;   // "btnDirectory": the folder picker
inline constexpr int kEditFolderHistory = 405;  // the button's drop-down part: the history
inline constexpr int kEditDescLabel = 406;
inline constexpr int kEditDesc = 407;  // multi-line text, at most 10000 characters
inline constexpr int kEditVisibilityLabel = 408;
inline constexpr int kEditVisibility = 409;  // button showing the visibility text; opens the popup
// The protection popup, shown under the visibility field while Show(kEditProtectionPopup) holds.
inline constexpr int kEditProtectionPopup = 410;
inline constexpr int kEditHidden = 411;           // check box "albumHidden"
inline constexpr int kEditPasswordCheck = 412;    // check box "albumCheckPassword"
inline constexpr int kEditSecureNameLabel = 413;  // "msgName"
inline constexpr int kEditSecureName = 414;
inline constexpr int kEditSecurePassLabel = 415;  // "pass"
inline constexpr int kEditSecurePass = 416;
inline constexpr int kEditCategoryLabel = 417;  // "albumSelectCategory"
inline constexpr int kEditCategory = 418;       // label: the album's categories
inline constexpr int kEditCategoryButton = 419;
inline constexpr int kEditWatermark = 420;        // button
inline constexpr int kEditResolutionLabel = 421;  // "btnRaiseResolution"
inline constexpr int kEditResolution = 422;       // combo box of target resolutions
inline constexpr int kEditResolutionSample = 423;
inline constexpr int kEditDateFromLabel = 424;
inline constexpr int kEditDateFrom = 425;  // date field
inline constexpr int kEditDateToLabel = 426;
inline constexpr int kEditDateTo = 427;    // date field
inline constexpr int kEditAutoDate = 428;  // check box "btnAutoDate"
inline constexpr int kEditDateSample = 429;
inline constexpr int kEditLink = 430;      // button "btnLink": a menu
inline constexpr int kEditAdvanced = 431;  // button showing or hiding the details group
inline constexpr int kEditDetailsGroup = 432;
inline constexpr int kEditNamesButton = 433;  // menus
inline constexpr int kEditSortButton = 434;
inline constexpr int kEditSelectButton = 435;
inline constexpr int kEditAddPhotos = 436;    // button
inline constexpr int kEditCountsLabel = 437;  // "EditPhotosDlgSelectedCount"
inline constexpr int kEditCounts = 438;       // "selected/total", red above the limit
inline constexpr int kEditZoom = 439;         // label beside the slider
// The thumbnail size slider: OnEdited while it moves, OnCommand when it is released.
inline constexpr int kEditSizeSlider = 440;
inline constexpr int kEditSizeText = 441;  // "%d %%" while the slider is dragged
inline constexpr int kEditThumbs = 442;    // the thumbnail list (ThumbnailList)

// Timers of the page.
inline constexpr int kEditSizeTextTimer = 1;

// The album editor's front end. Message boxes and the wait popup go through the application.
class AlbumEditorView {
 public:
  virtual ~AlbumEditorView() = default;

  // The page's controls; ThumbnailList(kEditThumbs) is the thumbnail list (null: none).
  virtual PageView& Controls() = 0;

  // --- Header band and navigation buttons (the tooltips are language keys) ---
  virtual void SetHeader(const std::string& title, const std::string& text) = 0;
  virtual void SetNextButton(const std::string& caption, const std::string& tooltipKey,
                             bool enabled) = 0;
  virtual void SetBackButton(const std::string& caption, const std::string& tooltipKey) = 0;

  // --- Page moves; false when the move did not happen ---
  virtual bool Next() = 0;
  virtual bool Back() = 0;
  virtual bool GoTo(std::string_view pageName) = 0;
  // The wizard's last Next or Back move was a Back move.
  virtual bool LastMoveWasBack() const = 0;
  // The photo detail page shows this item next.
  virtual void SetDetailIndex(int index) = 0;

  // --- Pickers ---
  virtual AlbumFolderChoice PickAlbumFolder(const AlbumFolderRequest& request) = 0;
  // A multi-selection file dialog (see Dialogs::PickFilesWithFilters).
  virtual std::vector<std::string> PickFiles(const std::string& title,
                                             const std::string& startFolder,
                                             const std::string& filters, int selectedFilter) = 0;
};

}  // namespace zerva
