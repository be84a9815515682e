// The main window's controller: the header band, the page manager with the nine pages and the
// user bar, the operations pages ask of the window, the title and size rules, the placement,
// logout and closing. The toolkit's window implements MainWindowView and forwards its events.
#pragma once

#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/dialogs.h"
#include "app/message_target.h"
#include "app/window_placement.h"
#include "ui/main_window_view.h"
#include "ui/page_ids.h"
#include "ui/page_manager.h"

namespace zerva {

class CUserDlg;
class CzervaApp;

using PageViews = std::array<PageView*, kPageCount>;

// The smallest size the window may be dragged to on a screen of this size.
struct TrackSize {
  int width = 0;
  int height = 0;
};
TrackSize MinTrackSize(int screenWidth, int screenHeight);

// What the login page and the account page hand each other.
struct LoginHandOver {
  std::string prefillEmail;
  std::string prefillPassword;
  bool returnedFromAccountPage = false;
};

class CzervaDlg {
 public:
  CzervaDlg(CzervaApp& app, MainWindowView& view);
  ~CzervaDlg();
  CzervaDlg(const CzervaDlg&) = delete;
  CzervaDlg& operator=(const CzervaDlg&) = delete;

  // Makes the bands and the nine pages on their views and sets the title and the size limit.
  void InitDialog(const PageViews& views, int screenWidth, int screenHeight);
  // The first Next move, which shows the login page; once the window is on the screen.
  void ShowFirstPage();

  CzervaApp& App() { return app_; }
  MainWindowView& View() { return view_; }
  CUserDlg& UserBar() { return *userBar_; }
  CPageManager& Pages() { return *pages_; }
  LoginHandOver& HandOver() { return handOver_; }

  // --- Moves ---
  bool Next(const void* from = nullptr);
  bool Back();
  bool GoTo(std::string_view pageName, const void* arg);
  std::string CurrentPageName() const;
  CZervaDialog* CurrentPage() const;
  bool LastMoveWasBack() const;

  // --- Bands ---
  void SetHeaderTitle(const std::string& text);
  void SetHeaderText(const std::string& text);
  // `tooltip` is a key, "@@@" + a literal text, or empty.
  void SetNextButton(const std::string& text, const std::string& tooltip);
  void SetBackButton(const std::string& text, const std::string& tooltip);
  void ShowNextButton(bool shown);
  void ShowBackButton(bool shown);
  void EnableNextButton(bool enabled);
  void EnableBackButton(bool enabled);
  void UpdateUserBar(bool restart);
  // The photo detail page shows this item next.
  void SetDetailIndex(int index) { detailIndex_ = index; }
  int DetailIndex() const { return detailIndex_; }
  // The header's partner logos, from the session.
  void RefreshLogo();
  // A click on a band: the current page may end an in-place edit.
  void OnBandClicked();

  // --- Service and messages ---
  void ShowWaitPopup(const std::string& text, const std::string& title);
  void CloseWaitPopup();
  void OpenUrlSignedIn(const std::string& url);
  void OpenUrl(const std::string& url);
  Reply Message(const std::string& text, const std::string& caption, MessageKind kind,
                MessageButtons buttons);

  // --- Window ---
  // "mainTitle" | "msgBuild" version, and " - LABEL uploader" while files given on the command
  // line are uploaded.
  std::string WindowTitle() const;
  void UpdateTitle();
  void OnDisplayChange(int screenWidth, int screenHeight);
  // Every band and the current page take the texts of the language now loaded.
  void OnLanguageChanged();
  // Loads the language's file (from the service when newer) under the wait popup; true when
  // the texts were switched. The caller updates what it shows.
  bool SwitchLanguage(int localeId);
  std::optional<WindowPlacement> LoadPlacement() const;
  void SavePlacement(const WindowPlacement& placement) const;
  // The user's request to sign out (the user bar's link).
  void Logout();
  // The user's request to close the window; false keeps it open.
  bool OnClose();
  // Closes the window on a page's behalf (the unattended upload is over); OnClose is asked.
  void CloseWindow();

 private:
  CzervaApp& app_;
  MainWindowView& view_;
  std::unique_ptr<CUserDlg> userBar_;
  std::unique_ptr<CPageManager> pages_;
  LoginHandOver handOver_;
  int detailIndex_ = 0;
  // Where the sign-in lock's listener asks for the window to come to the front.
  std::shared_ptr<MessageTarget> raiseTarget_;
};

}  // namespace zerva
