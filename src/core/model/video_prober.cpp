#include "model/video_prober.h"

#include "model/zerva_video.h"
#include "platform/fs.h"

namespace zerva {

bool ProbeVideo(const VideoProber& prober, CZervaVideo& video, const std::string& path) {
  // ffmpeg opens the path itself: a FIFO or device there would hold it until its time limit.
  if (!FileExists(path)) return false;
  if (prober.probe) return prober.probe(video, path);
  video.vcodec = "libx264";
  video.acodec = "libvo_aacenc";
  video.sourcePath = path;
  video.RefreshDateTime();
  return true;
}

bool QuickProbeVideo(const VideoProber& prober, CZervaVideo& video, const std::string& path) {
  if (!FileExists(path)) return false;
  if (prober.quickProbe) return prober.quickProbe(video, path);
  video.sourcePath = path;
  return true;
}

}  // namespace zerva
