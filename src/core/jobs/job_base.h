// One unit of work of an upload session (prepare an image, send a file, convert or send a
// video). The job manager runs jobs one after the other on its worker thread.
#pragma once

#include <atomic>
#include <string>

#include "app/message_target.h"
#include "net/api_result.h"
#include "net/http_connect.h"

namespace zerva {

class CPhoto;

inline constexpr int kJobWaiting = 0;
inline constexpr int kJobRunning = 1;
inline constexpr int kJobDone = 2;
inline constexpr int kJobFailed = -1;

inline constexpr int kJobKindMakeImage = 1;
inline constexpr int kJobKindRotateImage = 2;
inline constexpr int kJobKindUpload = 3;
inline constexpr int kJobKindMakeVideo = 4;
inline constexpr int kJobKindVideoUpload = 6;

class CJobBase {
 public:
  CJobBase() = default;
  virtual ~CJobBase() = default;
  CJobBase(const CJobBase&) = delete;
  CJobBase& operator=(const CJobBase&) = delete;

  // Does the work on the worker thread. `cancel` is the manager's stop request; jobs hand it to
  // every transfer they make. The base succeeds with "Proveden job " + name + "\n".
  virtual ApiResult Run(CancelFlag* cancel);
  virtual double GetProgress() const { return progress_.load(); }
  virtual void SetProgressValue(double value) { progress_.store(value); }
  // The job's share of the total work.
  virtual int Weight() const { return 1; }

  // Maps a fraction 0..1 of this job into its range of the overall percentage and posts the
  // whole percentage to the notification window.
  void SetProgress(double fraction);

  int State() const { return state_.load(); }
  void SetState(int state) { state_.store(state); }
  // A failure that running the job again cannot mend (its photo cannot be prepared): a restart
  // leaves the job as it is, and the session names its file instead of offering to retry.
  bool Hopeless() const { return hopeless_.load(); }
  void SetHopeless(bool hopeless) { hopeless_.store(hopeless); }
  int Id() const { return id_; }
  void SetId(int id) { id_ = id; }
  const std::string& Name() const { return name_; }
  const std::string& Description() const { return description_; }
  int Kind() const { return kind_; }
  CPhoto* Item() const { return item_; }

  // Where progress goes while the job runs: the manager's window and message 1088.
  void SetNotify(MessageTarget* window, unsigned message) {
    notifyWindow_ = window;
    notifyMessage_ = message;
  }
  MessageTarget* NotifyWindow() const { return notifyWindow_; }
  unsigned NotifyMessage() const { return notifyMessage_; }

  // The job's share of the overall percentage, set by the manager before the job runs.
  void SetRange(double start, double end) {
    rangeStart_ = start;
    rangeEnd_ = end;
  }
  double RangeStart() const { return rangeStart_; }
  double RangeEnd() const { return rangeEnd_; }

 protected:
  void SetName(std::string name) { name_ = std::move(name); }
  void SetDescription(std::string description) { description_ = std::move(description); }
  void SetKind(int kind) { kind_ = kind; }
  // The album item the job works on; not owned.
  void SetItem(CPhoto* item) { item_ = item; }

 private:
  // Read by the user-interface thread while the worker writes them.
  std::atomic<int> state_{kJobWaiting};
  std::atomic<double> progress_{0.0};
  std::atomic<bool> hopeless_{false};
  int id_ = 0;
  MessageTarget* notifyWindow_ = nullptr;
  unsigned notifyMessage_ = kMsgTransferProgress;
  std::string name_ = "BaseJob";
  std::string description_ = "<empty>";
  CPhoto* item_ = nullptr;
  int kind_ = 0;
  double rangeStart_ = 0.0;
  double rangeEnd_ = 100.0;
};

}  // namespace zerva
