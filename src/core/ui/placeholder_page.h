// A wizard page whose own controller is not built yet: it shows its title and a note, and keeps
// the moves of the wizard open so that the pages around it can be reached.
#pragma once

#include "ui/zerva_dialog.h"

namespace zerva {

class CAlbum;

inline constexpr int kPlaceholderNote = 900;
// A button in the page for the move the page's own controls would make (the albums page's new
// album, the post-upload page's return).
inline constexpr int kPlaceholderAction = 901;
// Until the albums page has its list: the user's albums, and the button that opens the chosen one
// in the album editor.
inline constexpr int kPlaceholderAlbums = 902;
inline constexpr int kPlaceholderOpen = 903;

class PlaceholderPage : public CZervaDialog {
 public:
  PlaceholderPage(CzervaDlg& window, PageId id, PageView& view);

  void UpdateTexts() override;
  void OnShowPage(bool cameBack) override;
  void OnCommand(int control) override;
  void OnEdited(int control) override;
  // The photo detail page works on the album editor's items while the editor's loader goes on:
  // leaving it for any page but the editor leaves the editor as well.
  bool CanLeave(const std::string& target) override;

 private:
  // The albums page's list and open button, from the service's album list.
  void ShowAlbums();
  void OpenChosenAlbum();
  const CAlbum* ChosenAlbum();
};

}  // namespace zerva
