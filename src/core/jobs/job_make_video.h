// Converting a video to the MP4 the service takes, before its upload (when convert-while-
// uploading is off).
#pragma once

#include <string>

#include "jobs/job_base.h"
#include "media/video_targets.h"

namespace zerva {

inline constexpr int kMakeVideoWeight = 100;

class CJobMakeVideo : public CJobBase {
 public:
  // `item` is not owned and outlives the job.
  CJobMakeVideo(CPhoto* item, std::string sourcePath, std::string outputPath, int fallbackWidth,
                VideoLimits limits);

  // Succeeds when ffmpeg was started; a bad result shows in the upload's check of the file.
  ApiResult Run(CancelFlag* cancel) override;
  int Weight() const override { return kMakeVideoWeight; }

  const std::string& OutputPath() const { return outputPath_; }

 private:
  std::string sourcePath_;
  std::string outputPath_;
  int fallbackWidth_;
  VideoLimits limits_;
};

}  // namespace zerva
