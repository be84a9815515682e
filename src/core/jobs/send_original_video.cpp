#include "jobs/send_original_video.h"

#include <chrono>

#include "app/text_utils.h"
#include "app/trace.h"
#include "jobs/upload_video_blocks.h"
#include "lang/text.h"
#include "net/http_mngr.h"

namespace zerva {

namespace {

int64_t TickMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

void RemainingTimeEstimate::Add(int64_t tickMs, double percent) {
  if (!samples_.empty() && percent <= samples_.front().second) return;
  samples_.emplace_front(tickMs, percent);
  if (samples_.size() > kRemainingSamples) samples_.pop_back();
}

int64_t RemainingTimeEstimate::SecondsLeft() const {
  if (samples_.size() <= 4) return -1;
  const auto& [newestTick, newest] = samples_.front();
  const auto& [oldestTick, oldest] = samples_.back();
  if (newestTick <= oldestTick) return -1;
  const double speed = (newest - oldest) * 1000000.0 / static_cast<double>(newestTick - oldestTick);
  if (speed <= 0) return -1;
  return static_cast<int64_t>((100.0 - newest) * 1000.0 / speed);
}

CTarvikProgress::CTarvikProgress(std::unique_ptr<ProgressWindowView> view, std::string caption,
                                 std::string message)
    : view_(std::move(view)), caption_(std::move(caption)), message_(std::move(message)) {}

void CTarvikProgress::Show() {
  if (view_) {
    // The view lives inside this object, so it never calls back after it.
    view_->SetCancelHandler([this] { Cancel(); });
    view_->Show(caption_, message_);
    view_->SetProgress(0);
  }
}

void CTarvikProgress::OnProgress(double percent, int64_t tickMs) {
  percent_ = static_cast<int>(percent);
  estimate_.Add(tickMs, percent);
  if (!view_ || closed_) return;
  view_->SetProgress(percent_);
  const int64_t left = estimate_.SecondsLeft();
  view_->SetRemaining(Text("msgTimeRemaining"), left >= 0 ? FormatDuration(left) : std::string());
}

void CTarvikProgress::Close() {
  if (closed_) return;
  closed_ = true;
  if (view_) view_->Close();
}

CSendOriginalVideo::CSendOriginalVideo(std::string path, int64_t size, std::string caption,
                                       std::string message, const OriginalUploadContext& context)
    : CTarvikThread(
          [](const std::shared_ptr<void>& param) {
            static_cast<CSendOriginalVideo*>(param.get())->ThreadMain();
          },
          "SendOriginalVideo"),
      path_(std::move(path)),
      size_(size),
      caption_(std::move(caption)),
      message_(std::move(message)),
      context_(context) {}

CSendOriginalVideo::~CSendOriginalVideo() = default;

bool CSendOriginalVideo::StartTask() {
  if (!CTaskBase::StartTask()) return false;
  progress_ = std::make_unique<CTarvikProgress>(context_.views ? context_.views() : nullptr,
                                                caption_, message_);
  if (context_.ui != nullptr) {
    // The window holds its task weakly: the pool owns the task.
    std::weak_ptr<CSendOriginalVideo> weak = weak_from_this();
    window_ = context_.ui->MakeWindow([weak](const WindowMessage& message) -> MessageParam {
      if (std::shared_ptr<CSendOriginalVideo> self = weak.lock()) {
        return self->OnWindowMessage(message);
      }
      return 0;
    });
  }
  progress_->Show();
  if (!Start(shared_from_this())) {
    {
      std::lock_guard<std::mutex> lock(resultMutex_);
      result_ = ApiResult::Failure("SendOriginalVideo: thread not started");
    }
    progress_->Close();
    if (context_.pool != nullptr) context_.pool->TaskDone(this, true);
  }
  return true;
}

void CSendOriginalVideo::StopTask(int seconds) {
  if (progress_) progress_->Cancel();
  if (!StopAndWait(seconds)) {
    TraceText(kTraceNotice, "SendOriginalVideo: the transfer is left to end on its own");
  }
}

ApiResult CSendOriginalVideo::Result() const {
  std::lock_guard<std::mutex> lock(resultMutex_);
  return result_;
}

void CSendOriginalVideo::ThreadMain() {
  MarkRunning();
  ApiResult result;
  std::unique_ptr<CHttpConnect> connection =
      context_.connections ? context_.connections->GetConnection() : nullptr;
  if (connection == nullptr) {
    result = ApiResult::Failure("SendOriginalVideo: no connection");
  } else {
    connection->SetNotify(window_.get(), kMsgTransferProgress);
    connection->SetProgressRange(0.0, 100.0);
    VideoBlocksInput in;
    in.path = path_;
    in.fileName = path_;
    in.userName = context_.userName;
    in.userPass = context_.userPass;
    in.unknown = true;
    in.cancel = progress_->CancelState();
    in.connections = context_.connections;
    in.notifyWindow = window_.get();
    in.notifyMessage = kMsgTransferProgress;
    in.pollMs = context_.pollMs;
    in.openPauseMs = context_.openPauseMs;
    int64_t total = size_;
    bool conversionFailed = false;
    result = UploadVideoBlocks(in, *connection, &total, &conversionFailed);
    context_.connections->ReleaseConnection(connection);
  }
  if (!result.Ok()) {
    Trace(kTraceError, 0, "SendOriginalVideo %s: %s", path_.c_str(), result.message.c_str());
  }
  {
    std::lock_guard<std::mutex> lock(resultMutex_);
    result_ = result;
  }
  MarkStopped();
  if (window_ != nullptr) {
    window_->Post({kMsgJobsFinished, 0, 0, nullptr});
  } else if (context_.pool != nullptr) {
    context_.pool->TaskDone(this, true);
  }
}

MessageParam CSendOriginalVideo::OnWindowMessage(const WindowMessage& message) {
  if (message.id == kMsgTransferProgress) {
    progress_->OnProgress(static_cast<double>(message.wParam), TickMs());
  } else if (message.id == kMsgJobsFinished) {
    progress_->Close();
    if (context_.pool != nullptr) context_.pool->TaskDone(this, true);
  }
  return 0;
}

}  // namespace zerva
