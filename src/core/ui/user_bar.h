// The user bar at the bottom of the main window: the signed-in user, the links, the status
// line of the self-update and the two navigation buttons, and the timer that refreshes the
// session's information.
#pragma once

#include <string>

#include "ui/page_view.h"

namespace zerva {

class CzervaDlg;

// The announcement address as it is handed to a signed-in opening: percent signs and characters
// a URL cannot carry are escaped, the address's own separators stay.
std::string CanonicalizeUrl(const std::string& url);

// The status line for a self-update progress notice: 1 to 99 "msgUpdating" with the percentage,
// above 99 "msgUpdateFinished", 0 or less nothing.
std::string UpdateStatusText(int progress);

class CUserDlg : public ControlEvents {
 public:
  CUserDlg(CzervaDlg& window, PageView& view);

  // The link captions and tooltips.
  void UpdateTexts();
  // Shows what is known of the signed-in user; with `restart` (re)starts the refresh timer.
  void Update(bool restart);
  // A self-update progress notice.
  void SetUpdateStatus(int progress);
  // While a logout runs the user's fields give way to "msgLogoutInProgress".
  void ShowLogoutInProgress();
  void EndLogout();

  void OnCommand(int control) override;
  void OnTimer(int timer) override;

 private:
  void ShowUserFields(bool shown);

  CzervaDlg& window_;
  PageView& view_;
  int updateProgress_ = 0;
};

}  // namespace zerva
