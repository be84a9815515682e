// Stand-in for a window handle: worker threads reach the user-interface thread only through a
// MessageTarget. Post queues a message; Send runs it on the UI thread and waits for its result.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace zerva {

using MessageParam = std::intptr_t;

// Message numbers shared by several parts of the program.
inline constexpr unsigned kMsgJobsFinished = 1075;
inline constexpr unsigned kMsgBytesConfirmed = 1076;
inline constexpr unsigned kMsgOverallProgress = 1077;
inline constexpr unsigned kMsgThumbLoaded = 1079;
inline constexpr unsigned kMsgThumb1080 = 1080;
inline constexpr unsigned kMsgThumb1081 = 1081;
inline constexpr unsigned kMsgThumb1082 = 1082;
inline constexpr unsigned kMsgTraceLine = 1083;
inline constexpr unsigned kMsgThumb1084 = 1084;
inline constexpr unsigned kMsgThumb1085 = 1085;
inline constexpr unsigned kMsgTransferProgress = 1088;

struct WindowMessage {
  unsigned id = 0;
  MessageParam wParam = 0;
  MessageParam lParam = 0;
  // Owned data travelling with the message (what a window would free after handling it).
  std::shared_ptr<void> payload;
};

class MessageTarget {
 public:
  virtual ~MessageTarget() = default;
  // Queues the message; false when the target no longer accepts messages.
  virtual bool Post(WindowMessage message) = 0;
  // Runs the message on the UI thread and returns the handler's result (0 when closed).
  virtual MessageParam Send(WindowMessage message) = 0;
};

// A headless user-interface loop: a queue that the UI thread pumps. The CLI and the tests use it
// where the window runs Qt's event loop. Targets share the queue, so a worker that posts after
// the loop is gone is refused instead of touching freed memory.
class UiLoop {
 public:
  UiLoop();  // the constructing thread is the UI thread
  ~UiLoop();
  UiLoop(const UiLoop&) = delete;
  UiLoop& operator=(const UiLoop&) = delete;

  bool OnUiThread() const;
  // Adopts the calling thread as the UI thread (a loop built on one thread and run on another).
  void AdoptCurrentThread();

  // Queues a task; false after Close().
  bool Enqueue(std::function<void()> task);
  // Runs every queued task on the calling (UI) thread; returns how many ran.
  size_t Pump();
  // Waits up to `timeout` for work, then pumps; returns how many ran.
  size_t PumpFor(std::chrono::milliseconds timeout);
  // Pumps until `done` holds or the timeout passes; returns `done()`.
  bool RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);
  // Stops accepting work and runs nothing more; waiting senders are released.
  void Close();
  bool Closed() const;

  struct Queue;  // shared with the targets on this loop

 private:
  friend class LoopTarget;
  std::shared_ptr<Queue> queue_;
};

// A "window" on a UiLoop: its handler runs on the loop's thread.
class LoopTarget : public MessageTarget {
 public:
  using Handler = std::function<MessageParam(const WindowMessage&)>;
  LoopTarget(UiLoop& loop, Handler handler);
  ~LoopTarget() override;

  bool Post(WindowMessage message) override;
  MessageParam Send(WindowMessage message) override;
  // Messages that arrive after Detach are dropped, like those posted to a destroyed window.
  void Detach();

 private:
  struct State {
    std::mutex mutex;
    Handler handler;
    bool alive = true;
  };
  MessageParam Deliver(const WindowMessage& message);

  std::shared_ptr<UiLoop::Queue> queue_;
  std::shared_ptr<State> state_;
};

}  // namespace zerva
