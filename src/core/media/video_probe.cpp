#include "media/video_probe.h"

#include <sys/stat.h>

#include "app/trace.h"
#include "media/child_process.h"
#include "media/probe_output.h"
#include "model/zerva_video.h"

namespace zerva {

ProcessCommand ProbeCommand(const std::string& path) {
  return CommandBuilder().Text("ffmpeg -i ").Quoted(path).Build();
}

bool RunProbe(const std::string& path, std::string* output, int timeoutMs) {
  output->clear();
  struct stat st;
  if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  ChildProcess process(true);
  if (!process.Start(ProbeCommand(path), true)) return false;
  int exitCode = 0;  // ffmpeg fails without an output file; what counts is what it said
  *output = process.ReadOutputFor(timeoutMs, &exitCode);
  process.Close();
  if (exitCode == kStillActive) {
    Trace(kTraceError, static_cast<int>(path.size()) + 16,
          "Probe: ffmpeg did not finish within %d ms: %s\n", timeoutMs, path.c_str());
    return false;
  }
  return true;
}

bool Probe(CZervaVideo& video, const std::string& path, int timeoutMs) {
  video.vcodec = "libx264";
  video.acodec = "libvo_aacenc";
  std::string output;
  if (!RunProbe(path, &output, timeoutMs)) return false;
  if (!ParseProbeOutput(output, &video)) return false;
  video.sourcePath = path;
  video.RefreshDateTime();
  SetProbeTargets(video);
  return true;
}

void SetProbeTargets(CZervaVideo& video) {
  video.duration = video.durationSrc;
  if (video.duration < video.begin) video.begin = 0.0;
  video.end = video.durationSrc;
  video.thumbpos = video.duration / 2;
  video.framerate = video.framerateSrc;
  if (video.asamplingRateSrc == 0) {
    video.asamplingRate = 0;
  } else if (video.asamplingRateSrc < 25000) {
    video.asamplingRate = 22050;
  } else {
    video.asamplingRate = 44100;
  }
}

bool QuickProbe(CZervaVideo& video, const std::string& path, int timeoutMs) {
  std::string output;
  if (!RunProbe(path, &output, timeoutMs) || !ProbeOutputAccepted(output)) return false;
  video.sourcePath = path;
  return true;
}

VideoProber FfmpegVideoProber() {
  VideoProber prober;
  prober.probe = [](CZervaVideo& video, const std::string& path) { return Probe(video, path); };
  prober.quickProbe = [](CZervaVideo& video, const std::string& path) {
    return QuickProbe(video, path);
  };
  return prober;
}

}  // namespace zerva
