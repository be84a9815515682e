// A wizard page whose own controller is not built yet: it shows its title and a note, and keeps
// the moves of the wizard open so that the pages around it can be reached.
#pragma once

#include "ui/zerva_dialog.h"

namespace zerva {

inline constexpr int kPlaceholderNote = 900;
// A button in the page for the move the page's own controls would make (the post-upload page's
// return).
inline constexpr int kPlaceholderAction = 901;

class PlaceholderPage : public CZervaDialog {
 public:
  PlaceholderPage(CzervaDlg& window, PageId id, PageView& view);

  void UpdateTexts() override;
  void OnShowPage(bool cameBack) override;
  void OnCommand(int control) override;
};

}  // namespace zerva
