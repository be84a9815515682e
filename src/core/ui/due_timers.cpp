#include "ui/due_timers.h"

#include <algorithm>

namespace zerva {

void DueTimers::Add(std::chrono::milliseconds wait, std::function<void()> fire,
                    Clock::time_point now) {
  timers_.push_back({now + wait, std::move(fire)});
}

std::vector<std::function<void()>> DueTimers::TakeDue(Clock::time_point now) {
  const auto split = std::stable_partition(timers_.begin(), timers_.end(),
                                           [now](const Timer& timer) { return timer.due > now; });
  std::vector<std::function<void()>> due;
  for (auto it = split; it != timers_.end(); ++it) due.push_back(std::move(it->fire));
  timers_.erase(split, timers_.end());
  return due;
}

std::optional<std::chrono::milliseconds> DueTimers::UntilEarliest(Clock::time_point now) const {
  if (timers_.empty()) return std::nullopt;
  const auto earliest = std::min_element(
      timers_.begin(), timers_.end(), [](const Timer& a, const Timer& b) { return a.due < b.due; });
  const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(earliest->due - now);
  return std::max(wait, std::chrono::milliseconds(0));
}

}  // namespace zerva
