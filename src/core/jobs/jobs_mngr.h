// The job engine: holds the jobs of the current upload session, runs them in id order on one
// worker thread, turns their progress into one overall percentage and a time estimate, and
// tells its listeners on the user-interface thread through its own hidden window.
//
// The worker shares its run, its jobs and the manager's state through shared ownership, so a
// worker that does not stop within the wait of KillJobs can be left to end on its own: nothing
// it touches goes away before it returns, and a later run waits for it instead of running the
// same jobs beside it.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <thread>
#include <vector>

#include "app/message_target.h"
#include "app/ui_thread.h"
#include "jobs/job_base.h"
#include "jobs/jobs_mngr_events.h"
#include "net/api_result.h"

namespace zerva {

// How long KillJobs waits for the worker.
inline constexpr std::chrono::seconds kDefaultKillJobsWait{10};

class CJobsMngr {
 public:
  using JobMap = std::map<int, std::shared_ptr<CJobBase>>;
  // The current time in seconds; the estimate is measured with it.
  using Clock = std::function<int64_t()>;

  CJobsMngr();
  // Stops a running worker as KillJobs does. `ui` must outlive the manager.
  ~CJobsMngr();
  CJobsMngr(const CJobsMngr&) = delete;
  CJobsMngr& operator=(const CJobsMngr&) = delete;

  // Makes the manager's window on the user-interface thread; false when it already has one.
  bool Create(UiThread& ui);
  // Listeners are not owned; a listener that goes away first removes itself.
  void AddListener(CJobsMngrEvents* listener);
  void RemoveListener(CJobsMngrEvents* listener);

  // Stores the job as waiting under the next id and returns the id (0 for no job).
  int AddJob(std::unique_ptr<CJobBase> job);
  // Forgets every job; a worker still running keeps the jobs of its run until it returns.
  void ClearJobs();
  // Starts a run over the jobs held now. False when a run is already going on (a run that was
  // asked to stop and has not returned yet is waited for by the new one instead).
  [[nodiscard]] bool Start();
  // Puts jobs back to waiting (only the failed ones when some failed, otherwise all) unless all
  // are waiting, and starts a run.
  [[nodiscard]] bool Restart();
  // Stops a running worker before its next job and waits for it, delivering the calling
  // thread's messages. False when it did not stop in time ("KillJobs terminated incorrectly").
  [[nodiscard]] bool KillJobs();

  int CountInState(int state) const;
  // The remaining seconds in the high bits, the elapsed seconds in the low 16 (PackTime).
  int64_t Estimate() const;

  // The worker thread is inside its loop.
  bool IsRunning() const;
  // Overall percentage, 0 to 100.
  int Percent() const;
  // The jobs' weights; after a start also the reserve.
  int64_t TotalWeight() const;
  // The combined results of the jobs of the current run.
  ApiResult LastResult() const;
  // Folds a later finding (such as a failed check of the uploads) into the combined result.
  void CombineResult(const ApiResult& result);
  // The job being run, null between jobs.
  std::shared_ptr<CJobBase> CurrentJob() const;
  const JobMap& Jobs() const { return jobs_; }
  MessageTarget* Window() const;

  // For tests: the wait of KillJobs and the clock of the estimate (set before Start).
  void SetKillWait(std::chrono::milliseconds wait) { killWait_ = wait; }
  void SetClock(Clock clock);

 private:
  struct Core;
  struct Run;
  struct WindowLink;

  MessageParam HandleMessage(const WindowMessage& message);
  std::shared_ptr<Run> CurrentRun() const;
  // Joins a worker that has returned; detaches one that has not.
  void ReleaseWorker();

  std::shared_ptr<Core> core_;
  std::shared_ptr<WindowLink> link_;
  UiThread* ui_ = nullptr;
  JobMap jobs_;
  int nextId_ = 0;
  int64_t jobsWeight_ = 0;
  std::vector<CJobsMngrEvents*> listeners_;
  // The last overall progress passed on, to drop repeats.
  int lastProgressPercent_ = 0;
  int64_t lastEstimate_ = 0;
  std::chrono::milliseconds killWait_ = kDefaultKillJobsWait;
  std::thread worker_;
};

}  // namespace zerva
