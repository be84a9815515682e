// One-shot callbacks due at a time, for the upload page's views that have no timer of their own
// per callback: the window's page serves them with one page timer, the terminal from its wait.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <vector>

namespace zerva {

class DueTimers {
 public:
  using Clock = std::chrono::steady_clock;

  void Add(std::chrono::milliseconds wait, std::function<void()> fire,
           Clock::time_point now = Clock::now());
  // The callbacks due at `now`, in the order they were added, taken out: one that starts the
  // next timer while it runs adds it for a later call.
  std::vector<std::function<void()>> TakeDue(Clock::time_point now);
  // How long until the earliest is due (0 when it is past); none while nothing waits.
  std::optional<std::chrono::milliseconds> UntilEarliest(Clock::time_point now) const;

 private:
  struct Timer {
    Clock::time_point due;
    std::function<void()> fire;
  };
  std::vector<Timer> timers_;
};

}  // namespace zerva
