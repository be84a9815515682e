// What the main window's controller needs from the toolkit: the two bands as control views, the
// page area, the title, the size limits, message boxes, the trace window, being brought to the
// front and being closed.
#pragma once

#include <string>

#include "app/dialogs.h"
#include "ui/page_ids.h"
#include "ui/page_view.h"

namespace zerva {

// Controls of the header band.
inline constexpr int kHeaderTitle = 1;
inline constexpr int kHeaderText = 2;
inline constexpr int kHeaderLogos = 3;  // the partners' logos

// Controls of the user bar.
inline constexpr int kUserNext = 10;
inline constexpr int kUserBack = 11;
inline constexpr int kUserName = 12;
inline constexpr int kUserVip = 13;
inline constexpr int kUserUrl = 14;
inline constexpr int kUserSettings = 15;
inline constexpr int kUserLogout = 16;
inline constexpr int kUserService = 17;
inline constexpr int kUserNews = 18;
inline constexpr int kUserNewsText = 19;
inline constexpr int kUserStatus = 20;
inline constexpr int kUserAbout = 21;
inline constexpr int kUserRefreshTimer = 1;

class MainWindowView {
 public:
  virtual ~MainWindowView() = default;

  virtual PageView& Header() = 0;
  virtual PageView& UserBar() = 0;
  // Shows or hides a page in the page area.
  virtual void ShowPage(PageId page, bool shown) = 0;
  virtual void SetTitle(const std::string& title) = 0;
  virtual void SetMinimumSize(int width, int height) = 0;
  // A modal message box with exactly this caption.
  virtual Reply ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                            MessageButtons buttons) = 0;
  // The trace window: opened when it is not open; closed with the main window.
  virtual void OpenTraceWindow() = 0;
  virtual void CloseTraceWindow() = 0;
  virtual void OpenAboutBox() = 0;
  // Brings the window to the front (another copy of the program asked for it).
  virtual void Raise() = 0;
  // Closes the window as the user's close would (the controller's OnClose is asked), once the
  // event being handled is over.
  virtual void CloseWindow() = 0;
};

}  // namespace zerva
