#include "jobs/jobs_mngr.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>

#include "app/trace.h"
#include "jobs/progress_math.h"

namespace zerva {
namespace {

// KillJobs delivers the calling thread's messages at least this often while it waits.
constexpr std::chrono::milliseconds kKillPollInterval{100};

int64_t SteadySeconds() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

// One start of the worker: its jobs, its stop request and whether it is still going.
struct CJobsMngr::Run {
  struct Entry {
    std::shared_ptr<CJobBase> job;
    int64_t weight = 0;
  };

  // Handed to every job as its cancel flag.
  CancelFlag stopRequested{false};
  // The worker is inside its loop.
  std::atomic<bool> running{true};
  std::vector<Entry> jobs;
  int64_t jobsWeight = 0;
  // A run that was asked to stop and has not returned yet; this one waits for it.
  std::shared_ptr<Run> previous;

  std::mutex mutex;
  std::condition_variable changed;
  bool returned = false;

  void EndRunning() {
    {
      std::lock_guard<std::mutex> lock(mutex);
      running = false;
    }
    changed.notify_all();
  }
  void MarkReturned() {
    {
      std::lock_guard<std::mutex> lock(mutex);
      returned = true;
    }
    changed.notify_all();
  }
  bool Returned() {
    std::lock_guard<std::mutex> lock(mutex);
    return returned;
  }
  template <typename Predicate>
  bool WaitFor(std::chrono::steady_clock::duration wait, Predicate done) {
    std::unique_lock<std::mutex> lock(mutex);
    return changed.wait_for(lock, wait, done);
  }
};

// What the worker and the user-interface side share.
struct CJobsMngr::Core {
  mutable std::mutex mutex;
  ApiResult lastResult;
  std::shared_ptr<CJobBase> currentJob;
  std::shared_ptr<Run> run;
  std::shared_ptr<MessageTarget> window;
  Clock clock = SteadySeconds;
  std::atomic<bool> windowClosed{false};
  std::atomic<int> percent{0};
  std::atomic<int64_t> totalWeight{0};
  std::atomic<int64_t> startTime{SteadySeconds()};

  int64_t Now() const {
    Clock now;
    {
      std::lock_guard<std::mutex> lock(mutex);
      now = clock;
    }
    return now();
  }

  int64_t Estimate() const {
    const int64_t elapsed = std::max<int64_t>(0, Now() - startTime.load());
    return PackTime(EstimateRemainingSeconds(percent.load(), elapsed), elapsed);
  }

  std::shared_ptr<MessageTarget> Window() const {
    std::lock_guard<std::mutex> lock(mutex);
    return window;
  }

  void Send(const std::shared_ptr<MessageTarget>& target, unsigned id, MessageParam wParam,
            MessageParam lParam) {
    if (target && !windowClosed.load()) target->Send({id, wParam, lParam, nullptr});
  }

  void SetCurrentJob(std::shared_ptr<CJobBase> job) {
    std::lock_guard<std::mutex> lock(mutex);
    currentJob = std::move(job);
  }

  void RunJob(Run& run, const std::shared_ptr<CJobBase>& job, MessageTarget* target) {
    job->SetState(kJobRunning);
    SetCurrentJob(job);
    job->SetNotify(target, kMsgTransferProgress);
    ApiResult result;
    // An exception escaping a job would end the whole program; it fails that job instead.
    try {
      result = job->Run(&run.stopRequested);
    } catch (const std::exception& e) {
      result = ApiResult::Failure(job->Name() + ": " + e.what());
    } catch (...) {
      result = ApiResult::Failure(job->Name() + ": unknown exception");
    }
    job->SetState(result.code == 1 ? kJobDone : kJobFailed);
    std::lock_guard<std::mutex> lock(mutex);
    lastResult.Combine(result);
  }

  void Work(Run& run) {
    if (run.previous) {
      // A stopped run that has not returned is still inside one of the jobs; running the jobs
      // beside it would corrupt them.
      while (!run.previous->WaitFor(kKillPollInterval, [&] { return run.previous->returned; })) {
        if (run.stopRequested) break;
      }
      run.previous.reset();
    }
    if (run.stopRequested) {
      run.EndRunning();
      return;
    }
    const std::shared_ptr<MessageTarget> target = Window();
    {
      std::lock_guard<std::mutex> lock(mutex);
      lastResult = ApiResult{};
    }
    percent = 0;
    const int64_t total = WeightWithReserve(run.jobsWeight);
    totalWeight = total;
    startTime = Now();
    int64_t done = 0;
    Send(target, kMsgOverallProgress, percent.load(), Estimate());
    for (const Run::Entry& entry : run.jobs) {
      if (run.stopRequested) {
        SetCurrentJob(nullptr);
        run.EndRunning();
        return;
      }
      entry.job->SetRange(RangePoint(done, total), RangePoint(done + entry.weight, total));
      if (entry.job->State() != kJobDone && !entry.job->Hopeless()) {
        RunJob(run, entry.job, target.get());
      }
      done += entry.weight;
      percent = OverallPercent(done, total);
      Send(target, kMsgOverallProgress, percent.load(), Estimate());
    }
    SetCurrentJob(nullptr);
    run.EndRunning();
    Send(target, kMsgJobsFinished, 0, 0);
  }
};

// Lets the window's handler reach the manager only while it exists.
struct CJobsMngr::WindowLink {
  std::atomic<CJobsMngr*> owner{nullptr};
};

CJobsMngr::CJobsMngr() : core_(std::make_shared<Core>()), link_(std::make_shared<WindowLink>()) {
  link_->owner = this;
}

CJobsMngr::~CJobsMngr() {
  // Messages delivered from here on must not reach listeners that may already be gone.
  link_->owner = nullptr;
  // A worker that does not stop in time keeps what it uses alive and ends on its own.
  const bool stopped = KillJobs();
  if (!stopped) TraceText(kTraceNotice, "~CJobsMngr: the worker is left to end on its own");
  const std::shared_ptr<Run> run = CurrentRun();
  if (run && !run->running) {
    // Deliver what the worker still sends (its finish message) so that it can return.
    const auto deadline = std::chrono::steady_clock::now() + killWait_;
    while (!run->Returned() && std::chrono::steady_clock::now() < deadline) {
      if (ui_) ui_->PumpWaiting();
      run->WaitFor(std::chrono::milliseconds(10), [&] { return run->returned; });
    }
  }
  core_->windowClosed = true;
  ReleaseWorker();
}

bool CJobsMngr::Create(UiThread& ui) {
  std::lock_guard<std::mutex> lock(core_->mutex);
  if (core_->window) return false;
  ui_ = &ui;
  std::shared_ptr<WindowLink> link = link_;
  core_->window = ui.MakeWindow([link](const WindowMessage& message) -> MessageParam {
    CJobsMngr* owner = link->owner.load();
    return owner ? owner->HandleMessage(message) : 0;
  });
  return core_->window != nullptr;
}

void CJobsMngr::AddListener(CJobsMngrEvents* listener) {
  if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end()) {
    listeners_.push_back(listener);
  }
}

void CJobsMngr::RemoveListener(CJobsMngrEvents* listener) {
  listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

int CJobsMngr::AddJob(std::unique_ptr<CJobBase> job) {
  if (!job) return 0;
  const int id = ++nextId_;
  job->SetId(id);
  job->SetState(kJobWaiting);
  jobsWeight_ += std::max(0, job->Weight());
  core_->totalWeight = jobsWeight_;
  jobs_.emplace(id, std::shared_ptr<CJobBase>(std::move(job)));
  return id;
}

void CJobsMngr::ClearJobs() {
  jobs_.clear();
  jobsWeight_ = 0;
  core_->totalWeight = 0;
}

bool CJobsMngr::Start() {
  const std::shared_ptr<Run> current = CurrentRun();
  if (current && current->running && !current->stopRequested) return false;
  auto run = std::make_shared<Run>();
  if (current && !current->Returned()) run->previous = current;
  run->jobs.reserve(jobs_.size());
  for (const auto& [id, job] : jobs_) {
    // The weights of this run are read once, so ranges and the total always agree.
    const int64_t weight = std::max(0, job->Weight());
    run->jobs.push_back({job, weight});
    run->jobsWeight += weight;
  }
  lastProgressPercent_ = 0;
  lastEstimate_ = 0;
  ReleaseWorker();
  {
    std::lock_guard<std::mutex> lock(core_->mutex);
    core_->run = run;
  }
  try {
    worker_ = std::thread([core = core_, run] {
      core->Work(*run);
      run->MarkReturned();
    });
  } catch (const std::system_error& e) {
    Trace(kTraceError, 0, "CJobsMngr: worker thread not created: %s\n", e.what());
    run->EndRunning();
    run->MarkReturned();
    return false;
  }
  return true;
}

bool CJobsMngr::Restart() {
  const std::shared_ptr<Run> current = CurrentRun();
  if (current && current->running && !current->stopRequested) return false;
  if (CountInState(kJobWaiting) != static_cast<int>(jobs_.size())) {
    const bool someFailed = CountInState(kJobFailed) > 0;
    for (const auto& [id, job] : jobs_) {
      if (job->Hopeless()) continue;
      if (!someFailed || job->State() == kJobFailed) job->SetState(kJobWaiting);
    }
  }
  return Start();
}

bool CJobsMngr::KillJobs() {
  const std::shared_ptr<Run> run = CurrentRun();
  if (!run || !run->running) return true;
  run->stopRequested = true;
  const auto slice = std::clamp<std::chrono::milliseconds>(
      killWait_ / 100, std::chrono::milliseconds(1), kKillPollInterval);
  const auto deadline = std::chrono::steady_clock::now() + killWait_;
  while (run->running) {
    if (ui_) ui_->PumpWaiting();
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) break;
    run->WaitFor(std::min<std::chrono::steady_clock::duration>(slice, deadline - now),
                 [&] { return !run->running; });
  }
  if (!run->running) return true;
  // The job goes on until its own work returns; the run keeps it and the manager's state alive.
  TraceText(kTraceNotice, "KillJobs terminated incorrectly");
  ReleaseWorker();
  return false;
}

int CJobsMngr::CountInState(int state) const {
  return static_cast<int>(std::count_if(jobs_.begin(), jobs_.end(), [state](const auto& entry) {
    return entry.second->State() == state;
  }));
}

int64_t CJobsMngr::Estimate() const {
  return core_->Estimate();
}

bool CJobsMngr::IsRunning() const {
  const std::shared_ptr<Run> run = CurrentRun();
  return run && run->running;
}

int CJobsMngr::Percent() const {
  return core_->percent.load();
}

int64_t CJobsMngr::TotalWeight() const {
  return core_->totalWeight.load();
}

ApiResult CJobsMngr::LastResult() const {
  std::lock_guard<std::mutex> lock(core_->mutex);
  return core_->lastResult;
}

void CJobsMngr::CombineResult(const ApiResult& result) {
  std::lock_guard<std::mutex> lock(core_->mutex);
  core_->lastResult.Combine(result);
}

std::shared_ptr<CJobBase> CJobsMngr::CurrentJob() const {
  std::lock_guard<std::mutex> lock(core_->mutex);
  return core_->currentJob;
}

MessageTarget* CJobsMngr::Window() const {
  return core_->Window().get();
}

void CJobsMngr::SetClock(Clock clock) {
  if (!clock) clock = SteadySeconds;
  std::lock_guard<std::mutex> lock(core_->mutex);
  core_->clock = std::move(clock);
  core_->startTime = core_->clock();
}

MessageParam CJobsMngr::HandleMessage(const WindowMessage& message) {
  // A listener may remove listeners (itself included) from its callback.
  const std::vector<CJobsMngrEvents*> listeners = listeners_;
  auto notify = [&](auto call) {
    for (CJobsMngrEvents* listener : listeners) {
      if (std::find(listeners_.begin(), listeners_.end(), listener) != listeners_.end()) {
        call(listener);
      }
    }
  };
  switch (message.id) {
    case kMsgJobsFinished:
      core_->percent = 100;
      notify([](CJobsMngrEvents* listener) { listener->OnJobsFinished(); });
      break;
    case kMsgOverallProgress: {
      const int percent = static_cast<int>(std::clamp<MessageParam>(message.wParam, 0, 100));
      const int64_t packedTime = message.lParam;
      if (percent != 0 && percent == lastProgressPercent_ && packedTime == lastEstimate_) break;
      lastProgressPercent_ = percent;
      lastEstimate_ = packedTime;
      notify([packedTime](CJobsMngrEvents* listener) { listener->OnJobsProgress(packedTime); });
      break;
    }
    case kMsgTransferProgress: {
      const int percent = static_cast<int>(std::clamp<MessageParam>(message.wParam, 0, 100));
      if (percent != 0 && percent == core_->percent.load()) break;
      core_->percent = percent;
      const int64_t packedTime = Estimate();
      notify([packedTime](CJobsMngrEvents* listener) { listener->OnJobsProgress(packedTime); });
      break;
    }
    case kMsgBytesConfirmed: {
      const int64_t count = message.wParam;
      const int64_t total = message.lParam;
      notify([count, total](CJobsMngrEvents* listener) { listener->OnJobsBytes(count, total); });
      break;
    }
    default:
      break;
  }
  return 0;
}

std::shared_ptr<CJobsMngr::Run> CJobsMngr::CurrentRun() const {
  std::lock_guard<std::mutex> lock(core_->mutex);
  return core_->run;
}

void CJobsMngr::ReleaseWorker() {
  if (!worker_.joinable()) return;
  // The run that the thread works on is the current one until the next Start replaces it, and
  // Start releases the thread before that.
  const std::shared_ptr<Run> run = CurrentRun();
  if (run && run->Returned()) {
    worker_.join();
  } else {
    worker_.detach();
  }
}

}  // namespace zerva
