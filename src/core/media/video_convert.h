// Converting a video to the MP4 the service takes: H.264 at a bit rate from the frame area, AAC
// audio, the frame reduced to the service's area, trimmed and turned as the user asked.
#pragma once

#include <string>

#include "media/process_command.h"
#include "media/video_targets.h"

namespace zerva {

class CZervaVideo;
class ChildProcess;

// The conversion command for a record. `audioFlag` set (or a trial) sends the source's audio bit
// rate; clear, ffmpeg picks the audio quality itself ("-aq 100"). A trial converts the first
// 0.1 second only. `rotation` is in degrees for RotationFilter. `audioEncoder` is the name put
// after "-c:a" (AudioEncoderFor(video.acodec)).
ProcessCommand ConvertCommand(const CZervaVideo& video, const std::string& outputPath,
                              int fallbackWidth, int rotation, bool trial, bool audioFlag,
                              const VideoLimits& limits, const std::string& audioEncoder);

// Starts the conversion with pipes in `process`. With `wait` it returns when ffmpeg has ended;
// without, ffmpeg goes on in the background and `ffmpegOutput` holds what it wrote so far.
// `audioFlag` is set when the exit code is 0 and cleared otherwise (also while ffmpeg still
// runs). True means ffmpeg was started, not that the file was converted.
bool ConvertVideo(const CZervaVideo& video, ChildProcess& process, bool wait, int* exitCode,
                  const std::string& outputPath, int fallbackWidth, int rotation,
                  std::string* ffmpegOutput, bool trial, bool* audioFlag,
                  const VideoLimits& limits);

// The conversion as both video jobs run it: a trial of 0.1 second in `trialProcess` (waited for)
// tells whether the source's audio bit rate works, then the real run in `process`, waited for or
// left running in the background. The results are those of the real run.
bool ConvertVideoWithTrial(const CZervaVideo& video, ChildProcess& trialProcess,
                           ChildProcess& process, bool wait, int* exitCode,
                           const std::string& outputPath, int fallbackWidth, int rotation,
                           std::string* ffmpegOutput, const VideoLimits& limits);

}  // namespace zerva
