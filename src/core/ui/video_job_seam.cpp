#include "ui/video_job_seam.h"

#include "jobs/job_base.h"
#include "jobs/job_make_video.h"
#include "jobs/job_video_upload.h"
#include "media/video_targets.h"

namespace zerva {

std::unique_ptr<CJobBase> MakeVideoJob(const VideoJobInputs& inputs) {
  return std::make_unique<CJobMakeVideo>(inputs.item, inputs.localPath, inputs.videoPath,
                                         inputs.videoResolution, inputs.limits);
}

std::unique_ptr<CJobBase> MakeVideoUploadJob(const VideoJobInputs& inputs) {
  return std::make_unique<CJobVideoUpload>(
      inputs.session, inputs.connections, inputs.videoPath, inputs.serverDir, inputs.albumID,
      inputs.item, inputs.convertWhileUploading, inputs.videoResolution, inputs.limits);
}

}  // namespace zerva
