// A task of a task pool: waiting, then running, then finished. Derived tasks start their work
// when they become running.
#pragma once

#include <atomic>
#include <string>

namespace zerva {

inline constexpr int kTaskWaiting = 0;
inline constexpr int kTaskRunning = 1;
inline constexpr int kTaskFinished = 2;

class CTaskBase {
 public:
  virtual ~CTaskBase() = default;

  // When waiting, becomes running and returns true.
  virtual bool StartTask() {
    int expected = kTaskWaiting;
    return state_.compare_exchange_strong(expected, kTaskRunning);
  }
  // When running, becomes finished and returns true.
  virtual bool Finish() {
    int expected = kTaskRunning;
    return state_.compare_exchange_strong(expected, kTaskFinished);
  }
  virtual int GetKey() const { return 0; }
  virtual std::string GetName() const { return {}; }
  virtual bool IsWaiting() const { return state_.load() == kTaskWaiting; }
  virtual bool IsRunning() const { return state_.load() == kTaskRunning; }
  virtual bool IsFinished() const { return state_.load() == kTaskFinished; }

  // Whether the task's thread was asked to stop; tasks without a thread never are.
  virtual bool TaskStopRequested() const { return false; }
  // Asks the task's thread to stop and waits up to `seconds`.
  virtual void StopTask(int /*seconds*/) {}

 private:
  std::atomic<int> state_{kTaskWaiting};
};

}  // namespace zerva
