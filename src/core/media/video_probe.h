// Probing video files with ffmpeg: "ffmpeg -i <file>" without an output file makes ffmpeg
// describe the file and stop; its description fills the video record.
#pragma once

#include <string>

#include "media/process_command.h"
#include "model/video_prober.h"

namespace zerva {

class CZervaVideo;

// A probe normally takes well under a second. Without a bound, a file that makes ffmpeg hang
// (a named pipe, a stalled network share) would stop a folder scan for good.
inline constexpr int kProbeTimeoutMs = 60000;

// ffmpeg -i "<path>"
ProcessCommand ProbeCommand(const std::string& path);

// Runs the probe command and collects ffmpeg's output. False when `path` is not a regular file,
// ffmpeg cannot be started, or it did not finish within `timeoutMs` (it is then killed).
bool RunProbe(const std::string& path, std::string* output, int timeoutMs = kProbeTimeoutMs);

// Fills the record from the file: source facts, targets ("libx264", "libvo_aacenc", sampling
// rate 0 / 22050 / 44100), sourcePath and dateTime, the whole length kept and the thumbnail in
// the middle. False when the file is not a usable video.
bool Probe(CZervaVideo& video, const std::string& path, int timeoutMs = kProbeTimeoutMs);
// The targets a fresh probe gives: the whole source kept (a start time past the end is dropped),
// the thumbnail in the middle, the source frame rate, and the audio sampling rate 0 without
// audio, 22050 for sources below 25000 Hz, else 44100.
void SetProbeTargets(CZervaVideo& video);
// Only the acceptance checks; on success sourcePath is set.
bool QuickProbe(CZervaVideo& video, const std::string& path, int timeoutMs = kProbeTimeoutMs);

// The model's seam filled with Probe and QuickProbe.
VideoProber FfmpegVideoProber();

}  // namespace zerva
