// How the model learns about a video file. The media layer installs its ffmpeg probe here
// (`Probe` and `QuickProbe` of the video record); until one is installed a video is recognised
// by its name alone and its record only learns the source path and date.
#pragma once

#include <functional>
#include <string>

namespace zerva {

class CZervaVideo;

struct VideoProber {
  // Fills the record from the file; false when the file is not a usable video.
  std::function<bool(CZervaVideo& video, const std::string& path)> probe;
  // Only the acceptance checks; on success the record's sourcePath is set.
  std::function<bool(CZervaVideo& video, const std::string& path)> quickProbe;
};

// The installed probe; without one the targets, sourcePath and dateTime are set and the result
// is whether the file exists.
bool ProbeVideo(const VideoProber& prober, CZervaVideo& video, const std::string& path);
// The installed quick probe; without one sourcePath is set when the file exists.
bool QuickProbeVideo(const VideoProber& prober, CZervaVideo& video, const std::string& path);

}  // namespace zerva
