#include "jobs/job_base.h"

#include <algorithm>
#include <cmath>

namespace zerva {

ApiResult CJobBase::Run(CancelFlag* /*cancel*/) {
  ApiResult result;
  result.message = "Proveden job " + name_ + "\n";
  return result;
}

void CJobBase::SetProgress(double fraction) {
  // A transfer that reports more than its total must not push the bar into the next job's share.
  if (!std::isfinite(fraction)) fraction = 0.0;
  fraction = std::clamp(fraction, 0.0, 1.0);
  const double progress = rangeStart_ + (rangeEnd_ - rangeStart_) * fraction;
  progress_.store(progress);
  if (notifyWindow_) {
    notifyWindow_->Post({notifyMessage_, static_cast<MessageParam>(progress), 0, nullptr});
  }
}

}  // namespace zerva
