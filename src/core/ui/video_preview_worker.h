// The preview thread of the video properties dialog ("VideoProps"): makes the frame at the
// position the user last moved a slider to with ffmpeg, so that the dialog never waits for it.
// Only the newest request counts: one that was not taken yet is replaced by the next. Frames
// reach the dialog only as messages posted to the user-interface thread.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

#include "app/message_target.h"
#include "app/ui_thread.h"
#include "jobs/tarvik_thread.h"
#include "media/video_props.h"
#include "model/image_ptr.h"
#include "model/zerva_video.h"

namespace zerva {

// Posted to the worker's own window: payload = the frame (none when it could not be made).
inline constexpr unsigned kMsgVideoPreview = 1092;
// The longest wait of one stop; the owner waits again until the thread has returned.
inline constexpr std::chrono::seconds kVideoPreviewStopWait{10};

// How the frames are taken.
struct VideoPreviewSettings {
  int rotation = 0;      // degrees, the item's turn (VideoRotationAngle)
  int sizeHint = 640;    // VideoResolution: the frame width when the source size is unknown
  int maxArea = 307200;  // VideoMaxArea
};

class VideoPreviewWorker : public CTarvikThread {
 public:
  // Runs on the user-interface thread for every frame made, null when none could be made.
  using FrameReady = std::function<void(const ImagePtr& frame)>;

  // `video` is copied: the thread never reads the item. `ui` outlives the worker.
  VideoPreviewWorker(const CZervaVideo& video, VideoPreviewSettings settings, UiThread& ui,
                     FrameReady onFrame);
  // Stops the thread (a running ffmpeg is killed) and waits until it has returned: it uses this
  // object. No frame is delivered afterwards.
  ~VideoPreviewWorker() override;
  VideoPreviewWorker(const VideoPreviewWorker&) = delete;
  VideoPreviewWorker& operator=(const VideoPreviewWorker&) = delete;

  // Asks for the frame at `seconds`; starts the thread when it does not run. False when the
  // thread could not be made.
  bool Request(VideoPropsControl control, double seconds, bool fast);
  // Stops the thread and waits for it; no frame is delivered afterwards.
  void Stop();
  // Requests not taken yet (0 or 1).
  bool Pending() const;

 private:
  struct Order {
    VideoPropsControl control = VideoPropsControl::kThumbPos;
    double seconds = 0;
    bool fast = true;
  };

  void Run();
  // The next order, or none once asked to stop.
  std::optional<Order> Take();

  const CZervaVideo video_;
  const VideoPreviewSettings settings_;
  FrameReady onFrame_;
  // Cleared when the dialog goes, so that a frame still on its way finds nobody.
  std::shared_ptr<bool> alive_;
  std::shared_ptr<MessageTarget> window_;
  mutable std::mutex mutex_;
  std::condition_variable wake_;
  std::optional<Order> order_;  // guarded by mutex_
};

}  // namespace zerva
