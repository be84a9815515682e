#include "ui/upload_display.h"

#include <algorithm>
#include <cstdio>
#include <functional>
#include <limits>

#include "app/text_utils.h"
#include "jobs/job_description.h"
#include "jobs/progress_math.h"
#include "lang/text.h"
#include "ui/copy_page_view.h"

namespace zerva {

std::string ElapsedText(int seconds) {
  seconds = std::max(seconds, 0);
  char text[32];
  std::snprintf(text, sizeof text, "%.2d:%.2d", seconds / 60, seconds % 60);
  return text;
}

UploadDisplay::UploadDisplay(CopyPageView& view)
    : view_(view), self_(std::make_shared<UploadDisplay*>(this)) {}

UploadDisplay::~UploadDisplay() {
  *self_ = nullptr;
}

void UploadDisplay::Reset() {
  remainingSeconds_ = shownRemaining_ = kInitialRemainingSeconds;
  elapsedSeconds_ = lastElapsed_ = lastPercent_ = 0;
  barPosition_ = 0;
  view_.ShowElapsed(0, ElapsedText(0));
  view_.ShowRemaining(std::nullopt, "");
  view_.ShowPercent(0, "");
}

void UploadDisplay::OnProgress(int64_t packedTime, std::function<void()> repaint) {
  elapsedSeconds_ = PackedElapsedSeconds(packedTime);
  // An estimate beyond what an int holds is no estimate worth showing in full.
  remainingSeconds_ = static_cast<int>(
      std::clamp<int64_t>(PackedRemainingSeconds(packedTime), 0, std::numeric_limits<int>::max()));
  if (timerArmed_) return;
  timerArmed_ = true;
  std::weak_ptr<UploadDisplay*> self = self_;
  view_.StartTimer(kDisplayThrottleMs, [self, repaint = std::move(repaint)] {
    const std::shared_ptr<UploadDisplay*> alive = self.lock();
    if (!alive || *alive == nullptr) return;
    (*alive)->timerArmed_ = false;
    if (repaint) repaint();
  });
}

void UploadDisplay::Update(int percent, const std::string& jobName, CPhoto* item) {
  if (percent == lastPercent_ && remainingSeconds_ == shownRemaining_ &&
      elapsedSeconds_ == lastElapsed_) {
    return;
  }
  view_.ShowJob(jobName, item);
  view_.ShowElapsed(elapsedSeconds_, ElapsedText(elapsedSeconds_));
  lastElapsed_ = elapsedSeconds_;
  lastPercent_ = percent;
  if (remainingSeconds_ > shownRemaining_) {
    shownRemaining_ = std::max(shownRemaining_ - 1, 0);
  } else {
    shownRemaining_ = remainingSeconds_;
  }
  if (percent > kRemainingShownAbovePercent) {
    view_.ShowRemaining(shownRemaining_,
                        FillJobText(Text("msgTimeRemaining2"), {FormatDuration(shownRemaining_)}));
  } else {
    view_.ShowRemaining(std::nullopt, "");
  }
  if (percent > barPosition_) {
    barPosition_ = percent;
    view_.ShowPercent(percent, std::to_string(percent) + "%");
  }
}

}  // namespace zerva
