// Where the upload session gets its video jobs (converting a video to MP4 and sending it in
// blocks). Until the video jobs are part of the program these give no job, and uploads leave
// videos out (see VideoJobsAvailable).
#pragma once

#include <memory>
#include <string>

namespace zerva {

class CHttpMngr;
class CJobBase;
class CPhoto;
class CUserSession;

struct VideoJobInputs {
  CPhoto* item = nullptr;
  std::string localPath;
  std::string videoPath;  // the ".mp4" file in the user's temporary folder
  int videoResolution = 0;
  bool convertWhileUploading = true;
  int albumID = 0;
  std::string serverDir;
  CUserSession* session = nullptr;
  std::shared_ptr<CHttpMngr> connections;
};

// Whether the two factories below make jobs.
bool VideoJobsAvailable();
// The conversion job (kind 4); null while video jobs are not available.
std::unique_ptr<CJobBase> MakeVideoJob(const VideoJobInputs& inputs);
// The block upload job (kind 6); null while video jobs are not available.
std::unique_ptr<CJobBase> MakeVideoUploadJob(const VideoJobInputs& inputs);

}  // namespace zerva
