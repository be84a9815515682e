#include "cli/upload_view.h"

namespace zerva::cli {

UploadView::UploadView(TerminalProgress& progress) : progress_(progress) {}

void UploadView::SetHeader(const std::string& /*title*/, const std::string& /*text*/) {}

void UploadView::SetNavigation(const std::string& /*nextCaption*/,
                               const std::string& /*backCaption*/, bool /*backShown*/) {}

void UploadView::SetAlbumLink(const std::string& /*text*/) {}

void UploadView::ShowJob(const std::string& name, CPhoto* /*item*/) {
  started_ = true;
  state_.label = name;
  changed_ = true;
}

void UploadView::ShowElapsed(int seconds, const std::string& /*text*/) {
  state_.elapsedSeconds = seconds;
  changed_ = true;
}

void UploadView::ShowRemaining(std::optional<int> seconds, const std::string& /*text*/) {
  state_.remainingSeconds = seconds;
  changed_ = true;
}

void UploadView::ShowPercent(int percent, const std::string& /*text*/) {
  state_.percent = percent;
  changed_ = true;
}

void UploadView::StartTimer(int milliseconds, std::function<void()> fire) {
  timers_.Add(std::chrono::milliseconds(milliseconds), std::move(fire));
}

void UploadView::Next() {
  movedNext_ = true;
}

void UploadView::Back() {
  movedBack_ = true;
}

void UploadView::ShowDone() {
  if (!started_) return;
  state_.percent = 100;
  state_.remainingSeconds.reset();
  state_.label.clear();
  changed_ = true;
}

void UploadView::Tick(Clock::time_point now) {
  // A timer's callback may start the next timer; it waits for the next tick.
  for (auto& fire : timers_.TakeDue(now)) fire();
  if (changed_ && started_) {
    changed_ = false;
    progress_.Show(state_);
  }
}

}  // namespace zerva::cli
