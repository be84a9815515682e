#include "jobs/job_make_video.h"

#include <chrono>

#include "app/trace.h"
#include "jobs/job_description.h"
#include "lang/text.h"
#include "media/child_process.h"
#include "media/video_convert.h"
#include "model/photo.h"
#include "model/zerva_video.h"
#include "platform/fs.h"

namespace zerva {

CJobMakeVideo::CJobMakeVideo(CPhoto* item, std::string sourcePath, std::string outputPath,
                             int fallbackWidth, VideoLimits limits)
    : sourcePath_(std::move(sourcePath)),
      outputPath_(std::move(outputPath)),
      fallbackWidth_(fallbackWidth),
      limits_(limits) {
  SetKind(kJobKindMakeVideo);
  SetItem(item);
  SetName(FileNameOfPath(outputPath_));
  SetDescription(FillJobText(Text("jobMakeVideoDesc"),
                             {sourcePath_, std::to_string(fallbackWidth_), outputPath_}));
}

ApiResult CJobMakeVideo::Run(CancelFlag* /*cancel*/) {
  const auto started = std::chrono::steady_clock::now();
  SetProgress(0.0);
  if (Item() == nullptr) return ApiResult::Failure("JobMakeVideo: no item");
  CreateDirectoryPath(FolderOfPath(outputPath_));
  ChildProcess trial(true);
  ChildProcess process(true);
  int exitCode = 0;
  std::string output;
  CZervaVideo video = Item()->video;
  if (video.sourcePath.empty()) video.sourcePath = sourcePath_;
  // ffmpeg opens the source itself and would wait on anything but a regular file.
  if (!FileExists(video.sourcePath)) {
    SetProgress(1.0);
    return ApiResult::Failure("JobMakeVideo: " + video.sourcePath + " is not a regular file");
  }
  const bool started_ok =
      ConvertVideoWithTrial(video, trial, process, true, &exitCode, outputPath_, fallbackWidth_,
                            VideoRotationAngle(Item()->rotate), &output, limits_);
  ApiResult result;
  if (started_ok) {
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    Trace(kTraceNotice, 0, "JobMakeVideo: %5.3f s", seconds);
  } else {
    result = ApiResult::Failure("JobMakeVideo: ffmpeg not started");
  }
  SetProgress(1.0);
  return result;
}

}  // namespace zerva
