// Small jobs for driving the job engine: they succeed, fail, throw, report progress, confirm
// bytes, move a fake clock, or wait at a gate (giving up on a stop request or ignoring it).
// Everything they record lives in shared objects, so a job left running by a test can still
// write safely after the manager is gone.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <vector>

#include "jobs/job_base.h"

namespace zerva::test {

// A door the test opens; jobs wait behind it.
class Gate {
 public:
  void Open() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      open_ = true;
    }
    changed_.notify_all();
  }
  // Waits until open, or until `cancel` is set when given. True when opened.
  bool Pass(const CancelFlag* cancel) {
    std::unique_lock<std::mutex> lock(mutex_);
    entered_ = true;
    changed_.notify_all();
    while (!open_) {
      if (cancel && cancel->load()) return false;
      changed_.wait_for(lock, std::chrono::milliseconds(5));
    }
    return true;
  }
  bool Entered() {
    std::lock_guard<std::mutex> lock(mutex_);
    return entered_;
  }

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = false;
  bool entered_ = false;
};

// What the jobs of a test did, in order.
struct JobLog {
  struct Entry {
    int id = 0;
    double rangeStart = 0;
    double rangeEnd = 0;
    bool cancelSet = false;
  };
  std::mutex mutex;
  std::vector<Entry> runs;
  std::atomic<int> destroyed{0};

  std::vector<int> RunIds() {
    std::lock_guard<std::mutex> lock(mutex);
    std::vector<int> ids;
    for (const Entry& entry : runs) ids.push_back(entry.id);
    return ids;
  }
  std::vector<Entry> Runs() {
    std::lock_guard<std::mutex> lock(mutex);
    return runs;
  }
};

class FakeJob : public CJobBase {
 public:
  enum class AtGate { kNone, kGiveUpOnStop, kIgnoreStop };

  FakeJob(std::shared_ptr<JobLog> log, int weight) : log_(std::move(log)), weight_(weight) {
    SetName("Fake");
  }
  ~FakeJob() override { ++log_->destroyed; }

  // Fails its first `times` runs with `message`.
  FakeJob& FailTimes(int times, std::string message) {
    failTimes_ = times;
    failMessage_ = std::move(message);
    return *this;
  }
  // Its failures are ones a new run cannot mend.
  FakeJob& Hopeless() {
    hopeless_ = true;
    return *this;
  }
  FakeJob& Throw(std::string what) {
    throwWhat_ = std::move(what);
    return *this;
  }
  FakeJob& Wait(std::shared_ptr<Gate> gate, AtGate mode) {
    gate_ = std::move(gate);
    atGate_ = mode;
    return *this;
  }
  FakeJob& Progress(std::vector<double> fractions) {
    fractions_ = std::move(fractions);
    return *this;
  }
  FakeJob& ConfirmBytes(int64_t count, int64_t total) {
    confirm_ = true;
    confirmCount_ = count;
    confirmTotal_ = total;
    return *this;
  }
  FakeJob& AdvanceClock(std::shared_ptr<std::atomic<int64_t>> clock, int64_t seconds) {
    clock_ = std::move(clock);
    advance_ = seconds;
    return *this;
  }

  int Weight() const override { return weight_; }

  ApiResult Run(CancelFlag* cancel) override {
    {
      std::lock_guard<std::mutex> lock(log_->mutex);
      log_->runs.push_back({Id(), RangeStart(), RangeEnd(), cancel && cancel->load()});
    }
    if (gate_ && atGate_ != AtGate::kNone && runs_ == 0) {
      gate_->Pass(atGate_ == AtGate::kGiveUpOnStop ? cancel : nullptr);
    }
    ++runs_;
    for (double fraction : fractions_) SetProgress(fraction);
    if (confirm_ && NotifyWindow()) {
      NotifyWindow()->Send({kMsgBytesConfirmed, confirmCount_, confirmTotal_, nullptr});
    }
    if (clock_) *clock_ += advance_;
    if (!throwWhat_.empty()) throw std::runtime_error(throwWhat_);
    if (failTimes_ > 0) {
      --failTimes_;
      SetHopeless(hopeless_);
      return ApiResult::Failure(failMessage_);
    }
    return CJobBase::Run(cancel);
  }

 private:
  std::shared_ptr<JobLog> log_;
  int weight_;
  bool hopeless_ = false;
  int failTimes_ = 0;
  std::string failMessage_;
  std::string throwWhat_;
  std::shared_ptr<Gate> gate_;
  AtGate atGate_ = AtGate::kNone;
  std::vector<double> fractions_;
  bool confirm_ = false;
  int64_t confirmCount_ = 0;
  int64_t confirmTotal_ = 0;
  std::shared_ptr<std::atomic<int64_t>> clock_;
  int64_t advance_ = 0;
  int runs_ = 0;
};

}  // namespace zerva::test
