// Sending a video's original file, for videos ffmpeg could not convert or that the user sends as
// they are: a task of the application's original-file pool (at most two at a time), each with a
// progress window that shows the share sent, an estimate of the time left and a cancel button.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>

#include "app/message_target.h"
#include "app/ui_thread.h"
#include "jobs/tarvik_thread.h"
#include "jobs/task_base.h"
#include "jobs/task_manager.h"
#include "net/api_result.h"
#include "net/http_connect.h"

namespace zerva {

class CHttpMngr;
class CSendOriginalVideo;

inline constexpr int kMaxOriginalSenders = 2;
inline constexpr size_t kRemainingSamples = 10;

using OriginalVideoPool = CTaskManager<CSendOriginalVideo>;

// The time left from the latest progress: up to 10 samples (tick in ms, percent), one taken only
// when the percent rose; with more than 4 the speed over them gives the seconds left.
class RemainingTimeEstimate {
 public:
  void Add(int64_t tickMs, double percent);
  // -1 while there is no estimate.
  int64_t SecondsLeft() const;
  size_t Samples() const { return samples_.size(); }

 private:
  std::deque<std::pair<int64_t, double>> samples_;  // newest first
};

// What the progress window shows; the front end draws it.
class ProgressWindowView {
 public:
  virtual ~ProgressWindowView() = default;
  virtual void Show(const std::string& caption, const std::string& message) = 0;
  virtual void SetProgress(int percent) = 0;
  // The "msgTimeRemaining" label and the estimate (empty while there is none).
  virtual void SetRemaining(const std::string& label, const std::string& estimate) = 0;
  virtual void Close() = 0;
  // What the window's cancel button calls (on the user-interface thread); set before Show.
  virtual void SetCancelHandler(std::function<void()> /*cancel*/) {}
};
using ProgressViewFactory = std::function<std::unique_ptr<ProgressWindowView>()>;

// The progress window's logic. Its window receives the transfer's progress (1088) and the end of
// the task (1075) on the user-interface thread.
class CTarvikProgress {
 public:
  CTarvikProgress(std::unique_ptr<ProgressWindowView> view, std::string caption,
                  std::string message);

  void Show();
  void OnProgress(double percent, int64_t tickMs);
  // The cancel button: the next block request ends with "cancelled by user".
  void Cancel() { cancel_.store(true); }
  void Close();
  CancelFlag* CancelState() { return &cancel_; }
  int Percent() const { return percent_; }
  const RemainingTimeEstimate& Estimate() const { return estimate_; }

 private:
  std::unique_ptr<ProgressWindowView> view_;
  std::string caption_;
  std::string message_;
  RemainingTimeEstimate estimate_;
  CancelFlag cancel_{false};
  int percent_ = 0;
  bool closed_ = false;
};

// What sending originals needs of the application.
struct OriginalUploadContext {
  CHttpConnect* connection = nullptr;  // for AcceptUnkVideoUpload, on the calling thread
  std::shared_ptr<CHttpMngr> connections;
  std::string userName;
  std::string userPass;
  UiThread* ui = nullptr;
  OriginalVideoPool* pool = nullptr;
  ProgressViewFactory views;  // none: the window shows nothing
  int pollMs = 500;
  int openPauseMs = 1000;  // shorter in tests
};

class CSendOriginalVideo : public CTaskBase,
                           public CTarvikThread,
                           public std::enable_shared_from_this<CSendOriginalVideo> {
 public:
  CSendOriginalVideo(std::string path, int64_t size, std::string caption, std::string message,
                     const OriginalUploadContext& context);
  ~CSendOriginalVideo() override;

  using CTaskBase::IsRunning;
  bool StartTask() override;
  std::string GetName() const override { return path_; }
  bool TaskStopRequested() const override { return StopRequested(); }
  void StopTask(int seconds) override;

  // The upload's result once the task ended.
  ApiResult Result() const;
  CTarvikProgress* Progress() { return progress_.get(); }

 private:
  void ThreadMain();
  MessageParam OnWindowMessage(const WindowMessage& message);

  std::string path_;
  int64_t size_;
  std::string caption_;
  std::string message_;
  OriginalUploadContext context_;
  std::unique_ptr<CTarvikProgress> progress_;
  std::shared_ptr<MessageTarget> window_;
  mutable std::mutex resultMutex_;
  ApiResult result_;
};

}  // namespace zerva
