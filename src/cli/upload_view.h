// The upload progress page on a terminal: the page's display goes to the progress bar (or the
// plain progress lines), its timers fire from the main thread's wait, and its page moves end
// the wait.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "cli/terminal_progress.h"
#include "ui/copy_page_view.h"
#include "ui/due_timers.h"

namespace zerva::cli {

class UploadView : public CopyPageView {
 public:
  using Clock = DueTimers::Clock;

  explicit UploadView(TerminalProgress& progress);

  void SetHeader(const std::string& title, const std::string& text) override;
  void SetNavigation(const std::string& nextCaption, const std::string& backCaption,
                     bool backShown) override;
  void SetAlbumLink(const std::string& text) override;
  void ShowJob(const std::string& name, CPhoto* item) override;
  void ShowElapsed(int seconds, const std::string& text) override;
  void ShowRemaining(std::optional<int> seconds, const std::string& text) override;
  void ShowPercent(int percent, const std::string& text) override;
  void StartTimer(int milliseconds, std::function<void()> fire) override;
  void Next() override;
  void Back() override;
  void UpdateUserBar() override {}
  // The summary at the end of the run names them instead.
  void ShowFileProblems(const std::string& /*text*/) override {}

  // The end of a run that reached the service whole: the bar full, no time left.
  void ShowDone();
  // Fires the timers that are due and draws what changed since the last call.
  void Tick(Clock::time_point now = Clock::now());
  // The page moved on (Next) or back (Back).
  bool Moved() const { return movedNext_ || movedBack_; }
  bool MovedBack() const { return movedBack_; }
  const ProgressState& State() const { return state_; }

 private:
  TerminalProgress& progress_;
  ProgressState state_;
  bool changed_ = false;
  // Nothing is drawn before the first repaint of a running session.
  bool started_ = false;
  DueTimers timers_;
  bool movedNext_ = false;
  bool movedBack_ = false;
};

}  // namespace zerva::cli
