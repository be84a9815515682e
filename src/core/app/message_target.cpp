#include "app/message_target.h"

#include <algorithm>
#include <atomic>

namespace zerva {

struct UiLoop::Queue {
  std::atomic<std::thread::id> uiThread;
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<std::function<void()>> tasks;
  bool closed = false;

  bool OnUiThread() const { return std::this_thread::get_id() == uiThread.load(); }

  bool Enqueue(std::function<void()> task) {
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (closed) return false;
      tasks.push_back(std::move(task));
    }
    wake.notify_all();
    return true;
  }

  void Close() {
    std::deque<std::function<void()>> dropped;
    {
      std::lock_guard<std::mutex> lock(mutex);
      closed = true;
      dropped.swap(tasks);
    }
    wake.notify_all();
    // Dropping the tasks releases their result slots, which wakes any thread blocked in Send.
    dropped.clear();
  }
};

UiLoop::UiLoop() : queue_(std::make_shared<Queue>()) {
  queue_->uiThread = std::this_thread::get_id();
}

UiLoop::~UiLoop() {
  Close();
}

bool UiLoop::OnUiThread() const {
  return queue_->OnUiThread();
}

void UiLoop::AdoptCurrentThread() {
  queue_->uiThread = std::this_thread::get_id();
}

bool UiLoop::Enqueue(std::function<void()> task) {
  return queue_->Enqueue(std::move(task));
}

size_t UiLoop::Pump() {
  size_t ran = 0;
  while (true) {
    std::function<void()> task;
    {
      std::lock_guard<std::mutex> lock(queue_->mutex);
      if (queue_->closed || queue_->tasks.empty()) return ran;
      task = std::move(queue_->tasks.front());
      queue_->tasks.pop_front();
    }
    task();
    ++ran;
  }
}

size_t UiLoop::PumpFor(std::chrono::milliseconds timeout) {
  {
    std::unique_lock<std::mutex> lock(queue_->mutex);
    queue_->wake.wait_for(lock, timeout,
                          [this] { return queue_->closed || !queue_->tasks.empty(); });
  }
  return Pump();
}

bool UiLoop::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline || Closed()) return done();
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now);
    PumpFor(std::min(left, std::chrono::milliseconds(50)));
  }
  return true;
}

void UiLoop::Close() {
  queue_->Close();
}

bool UiLoop::Closed() const {
  std::lock_guard<std::mutex> lock(queue_->mutex);
  return queue_->closed;
}

LoopTarget::LoopTarget(UiLoop& loop, Handler handler)
    : queue_(loop.queue_), state_(std::make_shared<State>()) {
  state_->handler = std::move(handler);
}

LoopTarget::~LoopTarget() {
  Detach();
}

void LoopTarget::Detach() {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->alive = false;
  state_->handler = nullptr;
}

MessageParam LoopTarget::Deliver(const WindowMessage& message) {
  Handler handler;
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (!state_->alive) return 0;
    handler = state_->handler;
  }
  return handler ? handler(message) : 0;
}

bool LoopTarget::Post(WindowMessage message) {
  std::shared_ptr<State> state = state_;
  return queue_->Enqueue([state, message = std::move(message)] {
    Handler handler;
    {
      std::lock_guard<std::mutex> lock(state->mutex);
      if (!state->alive) return;
      handler = state->handler;
    }
    if (handler) handler(message);
  });
}

MessageParam LoopTarget::Send(WindowMessage message) {
  if (queue_->OnUiThread()) return Deliver(message);
  // The result travels back through a shared slot; a closed loop drops the task and the
  // waiting sender is released with 0.
  struct Slot {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    MessageParam result = 0;
  };
  auto slot = std::make_shared<Slot>();
  struct Releaser {
    std::shared_ptr<Slot> slot;
    ~Releaser() {
      if (!slot) return;
      {
        std::lock_guard<std::mutex> lock(slot->mutex);
        slot->finished = true;
      }
      slot->done.notify_all();
    }
  };
  auto releaser = std::make_shared<Releaser>();
  releaser->slot = slot;
  std::shared_ptr<State> state = state_;
  const bool queued = queue_->Enqueue([state, slot, releaser, message = std::move(message)] {
    Handler handler;
    {
      std::lock_guard<std::mutex> lock(state->mutex);
      if (state->alive) handler = state->handler;
    }
    const MessageParam result = handler ? handler(message) : 0;
    std::lock_guard<std::mutex> lock(slot->mutex);
    slot->result = result;
  });
  releaser.reset();
  if (!queued) return 0;
  std::unique_lock<std::mutex> lock(slot->mutex);
  slot->done.wait(lock, [&] { return slot->finished; });
  return slot->result;
}

}  // namespace zerva
