#include "jobs/tarvik_thread.h"

#include <pthread.h>
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <exception>
#include <system_error>

#include "app/trace.h"

namespace zerva {
namespace {

// How often a wait delivers the calling thread's messages.
constexpr std::chrono::milliseconds kPumpInterval{50};
// The kernel keeps thread names to 15 bytes.
constexpr size_t kThreadNameMax = 15;

void NameAndPrioritize(const std::string& name, int priority) {
  ::pthread_setname_np(::pthread_self(), name.substr(0, kThreadNameMax).c_str());
  if (priority < 0) {
    // On Linux the nice value of a thread id applies to that thread alone.
    const int nice = std::min(19, -5 * std::max(priority, kThreadPriorityIdle));
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), nice);
  }
}

}  // namespace

CTarvikThread::CTarvikThread(Proc proc, std::string name, int priority)
    : proc_(std::move(proc)),
      name_(std::move(name)),
      priority_(priority),
      control_(std::make_shared<Control>()) {}

CTarvikThread::~CTarvikThread() {
  const bool returned = threadReturned_ && threadReturned_->load();
  if (thread_.joinable() && !returned && thread_.get_id() != std::this_thread::get_id()) {
    Trace(kTraceWarning, 0, "Thread %s is still running when its owner goes away\n", name_.c_str());
  }
  ReleaseThread();
}

void CTarvikThread::MarkRunning() {
  std::lock_guard<std::mutex> lock(control_->mutex);
  control_->running = true;
}

void CTarvikThread::MarkStopped() {
  // Once `running` is false the owner may destroy this object at once: what follows uses only
  // the shared control block.
  const std::shared_ptr<Control> control = control_;
  {
    // The run is over, and so is the stop request made of it: whoever saw it end may start
    // the next one at once.
    std::lock_guard<std::mutex> lock(control->mutex);
    control->running = false;
    control->stopRequested = false;
  }
  control->changed.notify_all();
}

bool CTarvikThread::Start(std::shared_ptr<void> param, bool stopFirst) {
  if (stopFirst && !StopAndWait(stopFirstWait_)) {
    // The earlier run goes on; it is not started a second time beside itself.
    Trace(kTraceNotice, 0, "Thread %s: the earlier run did not stop in time\n", name_.c_str());
  }
  uint64_t generation = 0;
  {
    std::lock_guard<std::mutex> lock(control_->mutex);
    if (control_->running) return true;
    control_->running = true;
    // A request left from an earlier run would end this one before it began.
    control_->stopRequested = false;
    generation = ++control_->generation;
  }
  ReleaseThread();
  auto returned = std::make_shared<std::atomic<bool>>(false);
  try {
    thread_ = std::thread([control = control_, proc = proc_, param = std::move(param), returned,
                           generation, name = name_, priority = priority_]() mutable {
      NameAndPrioritize(name, priority);
      try {
        if (proc) proc(param);
      } catch (const std::exception& e) {
        Trace(kTraceError, 0, "Thread %s ended by an exception: %s\n", name.c_str(), e.what());
      } catch (...) {
        Trace(kTraceError, 0, "Thread %s ended by an exception\n", name.c_str());
      }
      {
        // A procedure that returns without marking its end must not leave the object "running"
        // for ever; a newer thread's flags are not ours to touch.
        std::lock_guard<std::mutex> lock(control->mutex);
        if (control->generation == generation) {
          control->running = false;
          control->stopRequested = false;
        }
      }
      control->changed.notify_all();
      // May be the last reference to the owner.
      param.reset();
      returned->store(true);
    });
  } catch (const std::system_error& e) {
    Trace(kTraceError, 0, "Thread %s could not be created: %s\n", name_.c_str(), e.what());
    std::lock_guard<std::mutex> lock(control_->mutex);
    control_->running = false;
    return false;
  }
  threadReturned_ = std::move(returned);
  return true;
}

bool CTarvikThread::StopAndWait(int seconds) {
  return StopAndWait(std::chrono::seconds(std::max(seconds, 0)));
}

bool CTarvikThread::StopAndWait(std::chrono::milliseconds wait) {
  if (!control_->running) return true;
  {
    std::lock_guard<std::mutex> lock(control_->mutex);
    if (control_->waiting) return true;
    control_->waiting = true;
    control_->stopRequested = true;
  }
  const bool stopped = WaitForEnd(wait);
  if (!stopped) {
    Trace(kTraceWarning, 0,
          "StopAndWait: thread %s did not stop within %lld ms and is left to end on its own\n",
          name_.c_str(), static_cast<long long>(wait.count()));
    ReleaseThread();
  }
  std::lock_guard<std::mutex> lock(control_->mutex);
  control_->waiting = false;
  // A thread left running keeps its stop request, so that it returns at its next check instead
  // of carrying on with its work; it clears the request when it returns.
  if (stopped) control_->stopRequested = false;
  return stopped;
}

bool CTarvikThread::WaitWhileRunning(int seconds) {
  return WaitWhileRunning(std::chrono::seconds(std::max(seconds, 0)));
}

bool CTarvikThread::WaitWhileRunning(std::chrono::milliseconds wait) {
  return WaitForEnd(wait);
}

void CTarvikThread::PostTo(MessageTarget* window, unsigned message, MessageParam wParam,
                           MessageParam lParam, std::shared_ptr<void> payload) {
  if (window) window->Post({message, wParam, lParam, std::move(payload)});
}

bool CTarvikThread::WaitForEnd(std::chrono::milliseconds wait) {
  const auto deadline = std::chrono::steady_clock::now() + wait;
  while (control_->running) {
    if (ui_) ui_->PumpWaiting();
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return !control_->running;
    const auto slice = std::min<std::chrono::steady_clock::duration>(kPumpInterval, deadline - now);
    std::unique_lock<std::mutex> lock(control_->mutex);
    control_->changed.wait_for(lock, slice, [this] { return !control_->running; });
  }
  return true;
}

void CTarvikThread::ReleaseThread() {
  if (!thread_.joinable()) return;
  const bool returned = threadReturned_ && threadReturned_->load();
  if (returned && thread_.get_id() != std::this_thread::get_id()) {
    thread_.join();
  } else {
    thread_.detach();
  }
}

}  // namespace zerva
