// ffmpeg describes whatever file it is given, and a crafted file chooses much of that text
// (codec tags, metadata, stream layouts). Whatever the description, parsing it must neither
// crash nor leave numbers that later arithmetic cannot take.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "media/probe_output.h"
#include "media/video_probe.h"
#include "model/zerva_video.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  zerva::CZervaVideo video;
  const bool accepted = zerva::ParseProbeOutput(text, &video);
  if (accepted != zerva::ProbeOutputAccepted(text)) std::abort();
  if (!accepted) return 0;
  if (!std::isfinite(video.durationSrc) || video.durationSrc < 0) std::abort();
  if (!std::isfinite(video.begin) || video.begin < 0) std::abort();
  if (!std::isfinite(video.par) || video.par <= 0) std::abort();
  if (video.framerateSrc < 1) std::abort();
  if (video.vcodecSrc.size() > 63 || video.colorSpace.size() > 63) std::abort();
  zerva::SetProbeTargets(video);
  if (video.begin > video.durationSrc) std::abort();
  // The record goes into the album XML as it is.
  video.WriteVideoXml();
  return 0;
}
