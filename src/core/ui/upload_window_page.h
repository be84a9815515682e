// The upload progress page in the window ("CCopyDlg"): a wizard page that owns the upload
// session's controller and shows it on the page's controls, the header and the navigation
// buttons. zerva-cli runs the same controller on a terminal view.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "model/image_ptr.h"
#include "ui/copy_dlg.h"
#include "ui/copy_page_view.h"
#include "ui/due_timers.h"
#include "ui/zerva_dialog.h"

namespace zerva {

// The one page timer that serves the session's display timers.
inline constexpr int kCopyDisplayTimer = 1;

class UploadWindowPage : public CZervaDialog, public CopyPageView {
 public:
  UploadWindowPage(CzervaDlg& window, PageView& view);
  ~UploadWindowPage() override;

  CCopyDlg& Session() { return *copy_; }

  // --- Page slots ---
  void UpdateTexts() override;
  void InitControls() override;
  void OnShowPage(bool cameBack) override;
  bool CanLeave(const std::string& target) override;

  // --- ControlEvents ---
  void OnCommand(int control) override;
  void OnTimer(int timer) override;

  // --- CopyPageView ---
  void SetHeader(const std::string& title, const std::string& text) override;
  void SetNavigation(const std::string& nextCaption, const std::string& backCaption,
                     bool backShown) override;
  void SetAlbumLink(const std::string& text) override;
  void ShowJob(const std::string& name, CPhoto* item) override;
  void ShowElapsed(int seconds, const std::string& text) override;
  void ShowRemaining(std::optional<int> seconds, const std::string& text) override;
  void ShowPercent(int percent, const std::string& text) override;
  void ShowFileProblems(const std::string& text) override;
  void StartTimer(int milliseconds, std::function<void()> fire) override;
  void Next() override;
  void Back() override;
  void UpdateUserBar() override;

 private:
  // Arms the page timer for the earliest pending display timer.
  void ArmTimer();

  std::unique_ptr<CCopyDlg> copy_;
  DueTimers timers_;
  // The item the thumbnail view shows and the picture it was shown with: the view repaints
  // only when either changes.
  const CPhoto* shownItem_ = nullptr;
  ImagePtr shownSource_;
};

}  // namespace zerva
