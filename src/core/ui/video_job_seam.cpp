#include "ui/video_job_seam.h"

#include "jobs/job_base.h"

namespace zerva {

bool VideoJobsAvailable() {
  return false;
}

std::unique_ptr<CJobBase> MakeVideoJob(const VideoJobInputs&) {
  return nullptr;
}

std::unique_ptr<CJobBase> MakeVideoUploadJob(const VideoJobInputs&) {
  return nullptr;
}

}  // namespace zerva
