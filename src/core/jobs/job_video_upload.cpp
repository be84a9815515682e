#include "jobs/job_video_upload.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "app/trace.h"
#include "jobs/upload_video_blocks.h"
#include "media/child_process.h"
#include "media/video_convert.h"
#include "model/photo.h"
#include "model/zerva_video.h"
#include "net/http_mngr.h"
#include "platform/fs.h"
#include "session/user_session.h"

namespace zerva {

namespace {

bool NeedsConversion(const CPhoto* item) {
  return item == nullptr || item->video.videoChanged || item->video.SourceChanged();
}

double SecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

std::string AnnouncedVideoName(const std::string& mp4Path) {
  // Backslashes are the other system's separator; a name may still carry one.
  const size_t slash = mp4Path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? mp4Path : mp4Path.substr(slash + 1);
  const size_t dot = name.rfind('.');
  if (dot != std::string::npos) name.erase(dot);
  return name + ".jpg";
}

CJobVideoUpload::CJobVideoUpload(CUserSession* session, std::shared_ptr<CHttpMngr> connections,
                                 std::string mp4Path, std::string directory, int albumID,
                                 CPhoto* item, bool convertWhileUploading, int fallbackWidth,
                                 VideoLimits limits)
    : CJobUpload(session, connections, std::move(mp4Path), std::move(directory), albumID, item),
      session_(session),
      connections_(std::move(connections)),
      convertWhileUploading_(convertWhileUploading),
      fallbackWidth_(fallbackWidth),
      limits_(limits),
      openPauseMs_(kVideoOpenPauseMs),
      pollMs_(kVideoPollMs) {
  SetKind(kJobKindVideoUpload);
  if (item != nullptr && NeedsConversion(item)) {
    const int64_t bytes = FileSize(convertWhileUploading_ ? item->localPath : Path());
    if (bytes > 0) weightKiB_ = static_cast<int>(std::min<int64_t>(bytes / 1024, INT32_MAX));
  }
}

int CJobVideoUpload::Weight() const {
  return std::max(kMinVideoUploadWeight, weightKiB_);
}

ApiResult CJobVideoUpload::Run(CancelFlag* cancel) {
  if (session_ == nullptr || connections_ == nullptr) {
    return ApiResult::Failure("JobVideoUpload: no session");
  }
  std::unique_ptr<CHttpConnect> connection = connections_->GetConnection();
  if (connection == nullptr) return ApiResult::Failure("JobVideoUpload: no connection");
  connection->SetNotify(NotifyWindow(), NotifyMessage());
  connection->SetProgressRange(RangeStart(), RangeEnd());
  conversionFailed_ = false;
  ApiResult result;
  if (NeedsConversion(Item())) {
    result = FullUpload(*connection, cancel);
    if (!result.Ok()) result.message = "Nepodarilo se nahrat video soubor \"" + Path() + "\"";
  } else {
    result = SendThumbPos(*connection);
  }
  connections_->ReleaseConnection(connection);
  return result;
}

ApiResult CJobVideoUpload::FullUpload(CHttpConnect& connection, CancelFlag* cancel) {
  CPhoto* item = Item();
  const SessionCredentials user = session_->Credentials();
  VideoBlocksInput in;
  in.job = this;
  in.path = Path();
  in.fileName = AnnouncedVideoName(Path());
  in.userName = user.name;
  in.userPass = user.passwordDigest;
  in.videoXml = item != nullptr ? item->video.WriteVideoXml() : std::string();
  in.directory = Directory();
  in.unknown = false;
  in.item = item;
  in.cancel = cancel;
  in.connections = connections_;
  in.notifyWindow = NotifyWindow();
  in.notifyMessage = NotifyMessage();
  in.openPauseMs = openPauseMs_;
  in.pollMs = pollMs_;
  const auto started = std::chrono::steady_clock::now();

  ChildProcess trial(true);
  ChildProcess ffmpeg(true);
  std::string ffmpegOutput;
  int64_t total = 0;
  if (convertWhileUploading_ && item != nullptr) {
    total = FileSize(item->localPath);
    CZervaVideo video = item->video;
    if (video.sourcePath.empty()) video.sourcePath = item->localPath;
    CreateDirectoryPath(FolderOfPath(Path()));
    // A file left by an earlier run must not be taken for ffmpeg's output.
    std::remove(Path().c_str());
    int exitCode = 0;
    const bool started_ok =
        ConvertVideoWithTrial(video, trial, ffmpeg, false, &exitCode, Path(), fallbackWidth_,
                              VideoRotationAngle(item->rotate), &ffmpegOutput, limits_);
    if (!started_ok || (exitCode != kStillActive && exitCode != 0)) {
      conversionFailed_ = true;
      return ApiResult::Failure("JobVideoUpload: ffmpeg failed");
    }
    if (exitCode == kStillActive) {
      in.ffmpeg = &ffmpeg;
      in.ffmpegOutput = &ffmpegOutput;
    } else {
      total = FileSize(Path());  // ffmpeg was done at once: an ordinary file
    }
  } else {
    total = FileSize(Path());
  }
  ApiResult result = UploadVideoBlocks(in, connection, &total, &conversionFailed_);
  if (result.Ok() && item != nullptr) {
    {
      std::lock_guard<std::mutex> lock(item->lock);
      item->videoSize = total;
      item->SumFileSizes();
    }
    Trace(kTraceNotice, 0, "JobVideoUpload: %5.3f s", SecondsSince(started));
  }
  return result;
}

ApiResult CJobVideoUpload::SendThumbPos(CHttpConnect& connection) {
  const SessionCredentials user = session_->Credentials();
  char pos[64];
  std::snprintf(pos, sizeof pos, "%.1f", Item()->video.thumbpos);
  ApiResult result =
      connection.SetVideoThumbPos(user.name, user.passwordDigest, Item()->photoID, pos);
  if (!result.Ok()) {
    Trace(kTraceError, 0, "Set video thumb position failed: %s", Path().c_str());
  }
  return result;
}

}  // namespace zerva
