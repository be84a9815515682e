#include "app/message_target.h"

namespace zerva {

UiLoop::UiLoop() : uiThread_(std::this_thread::get_id()) {}

UiLoop::~UiLoop() {
  Close();
}

bool UiLoop::Enqueue(std::function<void()> task) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_) return false;
    queue_.push_back(std::move(task));
  }
  wake_.notify_all();
  return true;
}

size_t UiLoop::Pump() {
  size_t ran = 0;
  while (true) {
    std::function<void()> task;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      if (closed_ || queue_.empty()) return ran;
      task = std::move(queue_.front());
      queue_.pop_front();
    }
    task();
    ++ran;
  }
}

size_t UiLoop::PumpFor(std::chrono::milliseconds timeout) {
  {
    std::unique_lock<std::mutex> lock(mutex_);
    wake_.wait_for(lock, timeout, [this] { return closed_ || !queue_.empty(); });
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
  std::deque<std::function<void()>> dropped;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    dropped.swap(queue_);
  }
  wake_.notify_all();
  // Dropping the tasks releases their promises, which wakes any thread blocked in Send.
  dropped.clear();
}

bool UiLoop::Closed() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return closed_;
}

LoopTarget::LoopTarget(UiLoop& loop, Handler handler)
    : loop_(loop), state_(std::make_shared<State>()) {
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
  return loop_.Enqueue([state, message = std::move(message)] {
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
  if (loop_.OnUiThread()) return Deliver(message);
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
  const bool queued = loop_.Enqueue([state, slot, releaser, message = std::move(message)] {
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
