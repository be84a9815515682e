// The base that gives a class one background thread with a cooperative stop and a bounded wait.
//
// A POSIX thread cannot be terminated safely, so a thread that does not stop within the wait is
// left to end on its own: it is detached and keeps its stop request. Everything it touches must
// therefore stay alive through shared ownership until it returns. The thread holds the start
// parameter until its procedure returns; a procedure that uses its object passes the object
// itself as the parameter (an object owned by std::shared_ptr hands over shared_from_this()).
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "app/message_target.h"
#include "app/ui_thread.h"

namespace zerva {

// Scheduling priorities in the window system's terms. Below normal lowers the thread's nice
// value; above normal needs privileges and is left as normal.
inline constexpr int kThreadPriorityIdle = -15;
inline constexpr int kThreadPriorityLowest = -2;
inline constexpr int kThreadPriorityBelowNormal = -1;
inline constexpr int kThreadPriorityNormal = 0;

// The wait of `Start` with stopFirst.
inline constexpr std::chrono::seconds kDefaultThreadStopWait{10};

class CTarvikThread {
 public:
  using Proc = std::function<void(const std::shared_ptr<void>& param)>;

  CTarvikThread(Proc proc, std::string name, int priority = kThreadPriorityNormal);
  // Does not stop the thread: owners call StopAndWait first. A thread still running is detached.
  virtual ~CTarvikThread();
  CTarvikThread(const CTarvikThread&) = delete;
  CTarvikThread& operator=(const CTarvikThread&) = delete;

  // With stopFirst, StopAndWait first. True when the thread runs afterwards: started now, or
  // already running (then nothing else happens); false when it could not be created.
  bool Start(std::shared_ptr<void> param = nullptr, bool stopFirst = false);

  bool IsRunning() const { return control_->running.load(); }
  bool StopRequested() const { return control_->stopRequested.load(); }
  bool ShouldContinue() const { return !StopRequested(); }
  // The procedure marks its start and end; its end is also marked when it returns without.
  void MarkRunning();
  void MarkStopped();

  // Asks the procedure to return and waits for it, delivering the calling thread's messages
  // meanwhile. True when it is not running (at once when another caller is already waiting);
  // false when it did not return in time: the thread is left to end on its own and keeps its
  // stop request, and running stays set until it returns.
  [[nodiscard]] bool StopAndWait(int seconds);
  [[nodiscard]] bool StopAndWait(std::chrono::milliseconds wait);
  // The same wait without a stop request; false on time-out.
  [[nodiscard]] bool WaitWhileRunning(int seconds);
  [[nodiscard]] bool WaitWhileRunning(std::chrono::milliseconds wait);

  // Posts the message when there is a window.
  static void PostTo(MessageTarget* window, unsigned message, MessageParam wParam,
                     MessageParam lParam, std::shared_ptr<void> payload = nullptr);

  // Where waits deliver the calling thread's messages; none by default.
  void SetUiThread(UiThread* ui) { ui_ = ui; }
  // The wait of Start with stopFirst (10 seconds).
  void SetStopFirstWait(std::chrono::milliseconds wait) { stopFirstWait_ = wait; }

  const std::string& Name() const { return name_; }
  int Priority() const { return priority_; }

 protected:
  // The stop request as a flag that long work of the procedure polls (transfers, preparation),
  // so that it returns promptly too.
  std::atomic<bool>* StopFlag() { return &control_->stopRequested; }

  // For the derived class's data shared with its thread (queues, lists).
  std::recursive_mutex lock_;

 private:
  // Shared with the thread, so that a thread left running never touches a destroyed object.
  struct Control {
    std::mutex mutex;
    std::condition_variable changed;
    std::atomic<bool> running{false};
    std::atomic<bool> stopRequested{false};
    bool waiting = false;     // a StopAndWait is in progress
    uint64_t generation = 0;  // counts the threads started
  };

  [[nodiscard]] bool WaitForEnd(std::chrono::milliseconds wait);
  // Joins a thread that has returned; detaches one that has not.
  void ReleaseThread();

  Proc proc_;
  std::string name_;
  int priority_;
  UiThread* ui_ = nullptr;
  std::chrono::milliseconds stopFirstWait_ = kDefaultThreadStopWait;
  std::shared_ptr<Control> control_;
  std::thread thread_;
  std::shared_ptr<std::atomic<bool>> threadReturned_;
};

}  // namespace zerva
