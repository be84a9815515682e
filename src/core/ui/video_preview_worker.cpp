#include "ui/video_preview_worker.h"

#include <utility>

#include "app/trace.h"
#include "media/item_image.h"

namespace zerva {
namespace {

// How often the idle thread looks at its stop request.
constexpr std::chrono::milliseconds kIdlePoll{50};

}  // namespace

VideoPreviewWorker::VideoPreviewWorker(const CZervaVideo& video, VideoPreviewSettings settings,
                                       UiThread& ui, FrameReady onFrame)
    : CTarvikThread([this](const std::shared_ptr<void>&) { Run(); }, "VideoProps"),
      video_(video),
      settings_(settings),
      onFrame_(std::move(onFrame)),
      alive_(std::make_shared<bool>(true)) {
  // The waits of a stop deliver what the thread posts meanwhile.
  SetUiThread(&ui);
  window_ = ui.MakeWindow([this, alive = alive_](const WindowMessage& message) -> MessageParam {
    if (*alive && message.id == kMsgVideoPreview && onFrame_) {
      onFrame_(std::static_pointer_cast<fipImage>(message.payload));
    }
    return 0;
  });
}

VideoPreviewWorker::~VideoPreviewWorker() {
  Stop();
}

void VideoPreviewWorker::Stop() {
  *alive_ = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    order_.reset();
  }
  // The thread polls its stop request between frames and while ffmpeg runs, so this is short.
  while (IsRunning()) {
    if (!StopAndWait(kVideoPreviewStopWait)) {
      TraceText(kTraceWarning, "VideoProps: still waiting for the preview thread to return");
    }
  }
}

bool VideoPreviewWorker::Request(VideoPropsControl control, double seconds, bool fast) {
  if (!*alive_) return false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    order_ = Order{control, seconds, fast};
  }
  wake_.notify_one();
  return Start();
}

bool VideoPreviewWorker::Pending() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return order_.has_value();
}

std::optional<VideoPreviewWorker::Order> VideoPreviewWorker::Take() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (ShouldContinue()) {
    if (order_) {
      std::optional<Order> order = std::move(order_);
      order_.reset();
      return order;
    }
    wake_.wait_for(lock, kIdlePoll);
  }
  return std::nullopt;
}

void VideoPreviewWorker::Run() {
  MarkRunning();
  while (std::optional<Order> order = Take()) {
    Bitmap frame;
    const bool made =
        MakeVideoPreview(video_, order->control, order->seconds, order->fast, settings_.rotation,
                         settings_.sizeHint, settings_.maxArea, &frame, StopFlag());
    if (!ShouldContinue()) break;
    PostTo(window_.get(), kMsgVideoPreview, 0, 0,
           made ? ToItemImage(std::move(frame)) : std::shared_ptr<fipImage>());
  }
  MarkStopped();
}

}  // namespace zerva
