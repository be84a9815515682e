#include "model/video_prober.h"

#include "model/zerva_video.h"
#include "platform/fs.h"

namespace zerva {

bool ProbeVideo(const VideoProber& prober, CZervaVideo& video, const std::string& path) {
  if (prober.probe) return prober.probe(video, path);
  if (!FileExists(path)) return false;
  video.vcodec = "libx264";
  video.acodec = "libvo_aacenc";
  video.sourcePath = path;
  video.RefreshDateTime();
  return true;
}

bool QuickProbeVideo(const VideoProber& prober, CZervaVideo& video, const std::string& path) {
  if (prober.quickProbe) return prober.quickProbe(video, path);
  if (!FileExists(path)) return false;
  video.sourcePath = path;
  return true;
}

}  // namespace zerva
