// The progress display of the upload page: progress events repaint at most once per 100 ms, the
// remaining time shown never rises (a higher estimate lowers it by one second instead), and the
// bar never moves back within a session.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace zerva {

class CPhoto;
class CopyPageView;

// Repaints of a burst of progress events are gathered for this long.
inline constexpr int kDisplayThrottleMs = 100;
// The estimate shown before the first progress event.
inline constexpr int kInitialRemainingSeconds = 60;
// Up to this percentage no remaining time is shown: the estimate is still a guess.
inline constexpr int kRemainingShownAbovePercent = 10;

class UploadDisplay {
 public:
  explicit UploadDisplay(CopyPageView& view);
  ~UploadDisplay();
  UploadDisplay(const UploadDisplay&) = delete;
  UploadDisplay& operator=(const UploadDisplay&) = delete;

  // Back to the start of a session: 00:00, no remaining time, no percentage, the bar at 0.
  void Reset();
  // A progress event: keeps its times and arms the display timer unless it is armed; `repaint`
  // runs when the timer fires (it calls Update with the state of that moment).
  void OnProgress(int64_t packedTime, std::function<void()> repaint);
  // Shows `percent` (the job manager's) and the job being run, unless nothing shown would change.
  void Update(int percent, const std::string& jobName, CPhoto* item);

  int ShownRemaining() const { return shownRemaining_; }
  int ShownElapsed() const { return lastElapsed_; }
  int BarPosition() const { return barPosition_; }
  bool TimerArmed() const { return timerArmed_; }

 private:
  CopyPageView& view_;
  int elapsedSeconds_ = 0;
  int remainingSeconds_ = kInitialRemainingSeconds;
  int shownRemaining_ = kInitialRemainingSeconds;
  int lastElapsed_ = 0;
  int lastPercent_ = 0;
  int barPosition_ = 0;
  bool timerArmed_ = false;
  // Timer callbacks outlive nothing: they check this before touching the display.
  std::shared_ptr<UploadDisplay*> self_;
};

// "%.2d:%.2d" of the minutes and seconds.
std::string ElapsedText(int seconds);

}  // namespace zerva
