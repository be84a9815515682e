// Where the upload session gets its video jobs (converting a video to MP4 and sending it in
// blocks), so that the session's job planning does not depend on the video code.
#pragma once

#include <memory>
#include <string>

#include "media/video_targets.h"

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
  VideoLimits limits;  // the service's limits for this user's converted videos
  bool convertWhileUploading = true;
  int albumID = 0;
  std::string serverDir;
  CUserSession* session = nullptr;
  std::shared_ptr<CHttpMngr> connections;
};

// The conversion job (kind 4).
std::unique_ptr<CJobBase> MakeVideoJob(const VideoJobInputs& inputs);
// The block upload job (kind 6).
std::unique_ptr<CJobBase> MakeVideoUploadJob(const VideoJobInputs& inputs);

}  // namespace zerva
