// Uploading a video: converted before (by CJobMakeVideo) or converted in the background while
// its first blocks are already sent; or, when only its thumbnail position changed, just that.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "jobs/job_upload.h"
#include "media/video_targets.h"

namespace zerva {

inline constexpr int kMinVideoUploadWeight = 20;

class CJobVideoUpload : public CJobUpload {
 public:
  CJobVideoUpload(CUserSession* session, std::shared_ptr<CHttpMngr> connections,
                  std::string mp4Path, std::string directory, int albumID, CPhoto* item,
                  bool convertWhileUploading, int fallbackWidth, VideoLimits limits);

  ApiResult Run(CancelFlag* cancel) override;
  int Weight() const override;

  bool ConversionFailed() const { return conversionFailed_; }
  bool ConvertWhileUploading() const { return convertWhileUploading_; }
  // For tests: shorter pauses than the program's.
  void SetPauses(int openPauseMs, int pollMs) {
    openPauseMs_ = openPauseMs;
    pollMs_ = pollMs;
  }

 private:
  ApiResult FullUpload(CHttpConnect& connection, CancelFlag* cancel);
  ApiResult SendThumbPos(CHttpConnect& connection);

  CUserSession* session_;
  std::shared_ptr<CHttpMngr> connections_;
  bool convertWhileUploading_;
  int fallbackWidth_;
  VideoLimits limits_;
  bool conversionFailed_ = false;
  int weightKiB_ = kMinVideoUploadWeight;
  int openPauseMs_;
  int pollMs_;
};

// The name the service knows the video by: the MP4 file's name with ".jpg" for its extension.
std::string AnnouncedVideoName(const std::string& mp4Path);

}  // namespace zerva
