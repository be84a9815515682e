#include "media/video_convert.h"

#include <algorithm>

#include "app/trace.h"
#include "media/child_process.h"
#include "media/ffmpeg_encoders.h"
#include "model/zerva_video.h"

namespace zerva {
namespace {

// The audio bit rate may not exceed these (kb/s) when the audio is encoded anew.
constexpr int kAudioRateLimit = 512;
constexpr int kAudioRateLimitLowVideo = 384;

std::string AudioRateOption(const CZervaVideo& video, int audioRate, int videoRate) {
  if (audioRate <= 0) return "-aq 100";
  if (video.acodec != video.acodecSrc) {
    const int ratio = video.vbitrateSrc / std::max(videoRate, 1);
    audioRate = std::min(audioRate, ratio <= 10 ? kAudioRateLimit : kAudioRateLimitLowVideo);
  }
  return "-b:a " + std::to_string(audioRate) + "k";
}

}  // namespace

ProcessCommand ConvertCommand(const CZervaVideo& video, const std::string& outputPath,
                              int fallbackWidth, int rotation, bool trial, bool audioFlag,
                              const VideoLimits& limits, const std::string& audioEncoder) {
  PixelSize frame =
      ResizeVideo(video.widthSrc, video.heightSrc, fallbackWidth, video.par, limits.maxArea);
  double start = 0.0;
  double stop = 0.0;
  if (video.durationSrc > video.duration) {
    start = video.begin;
    stop = video.end;
  }
  if (trial) {
    start = 0.0;
    stop = 0.1;
  }
  const int videoRate = TargetVideoBitrate(frame.width, frame.height, limits);
  if (RotationSwapsSides(rotation)) std::swap(frame.width, frame.height);
  const int audioRate = trial || audioFlag ? video.abitrateSrc : 0;

  const std::string timing = video.vcodecSrc.find("mpeg4") != std::string::npos ? "-vsync 2" : "";
  const std::string size =
      frame.width > 0 && frame.height > 0
          ? "-s " + std::to_string(frame.width) + "x" + std::to_string(frame.height)
          : "";
  const std::string sampling = video.achannel == "5.1" || video.achannel == "5:1"
                                   ? ""
                                   : "-ar " + std::to_string(video.asamplingRate);
  const std::string startOption = start > 0 ? "-ss " + CommandNumber(start, 5, 2) : "";
  const std::string lengthOption =
      stop > 0 && start < stop ? "-t " + CommandNumber(stop - start, 5, 2) : "";

  return CommandBuilder()
      .Text("ffmpeg -y -i ")
      .Quoted(video.sourcePath)
      .Text(" -c:v ")
      .Word(video.vcodec)
      .Text(" -preset fast -b:v " + std::to_string(videoRate) + "k " + timing + " " + size +
            " -c:a ")
      .Word(audioEncoder)
      .Text(" " + sampling + " " + AudioRateOption(video, audioRate, videoRate) + " " +
            startOption + " " + lengthOption + " " + RotationFilter(rotation) +
            " -f mp4 -threads 4 ")
      .Quoted(outputPath)
      .Build();
}

bool ConvertVideo(const CZervaVideo& video, ChildProcess& process, bool wait, int* exitCode,
                  const std::string& outputPath, int fallbackWidth, int rotation,
                  std::string* ffmpegOutput, bool trial, bool* audioFlag,
                  const VideoLimits& limits) {
  const ProcessCommand command = ConvertCommand(video, outputPath, fallbackWidth, rotation, trial,
                                                *audioFlag, limits, AudioEncoderFor(video.acodec));
  if (!process.Start(command, true)) {
    *audioFlag = false;
    return false;
  }
  int code = kStillActive;
  *ffmpegOutput = process.ReadOutput(wait, &code);
  if (exitCode != nullptr) *exitCode = code;
  Trace(kTraceNotice, static_cast<int>(command.text.size() + ffmpegOutput->size()) + 32,
        "ConvertVideo: (%s)\n %s", command.text.c_str(), ffmpegOutput->c_str());
  *audioFlag = code == 0;
  return true;
}

bool ConvertVideoWithTrial(const CZervaVideo& video, ChildProcess& trialProcess,
                           ChildProcess& process, bool wait, int* exitCode,
                           const std::string& outputPath, int fallbackWidth, int rotation,
                           std::string* ffmpegOutput, const VideoLimits& limits) {
  bool audioFlag = true;
  int trialCode = 0;
  std::string trialOutput;
  ConvertVideo(video, trialProcess, true, &trialCode, outputPath, fallbackWidth, rotation,
               &trialOutput, true, &audioFlag, limits);
  trialProcess.Close();
  return ConvertVideo(video, process, wait, exitCode, outputPath, fallbackWidth, rotation,
                      ffmpegOutput, false, &audioFlag, limits);
}

}  // namespace zerva
