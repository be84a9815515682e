// The photo upload job: sends one file of one item (image, HD image, thumbnail or patch) with
// UploadFile, checks that the service stored all of it, and adopts the pause between uploads
// that the service asks for.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "jobs/job_base.h"

namespace zerva {

class CHttpMngr;
class CUserSession;

inline constexpr int kMinUploadWeight = 50;
// The longest pause between uploads taken from the service: a larger value would stall the run.
inline constexpr int kMaxUploadDelayMs = 60000;

// What the service said about an upload: the size it stored and, with a <fileSize> element, the
// pause it asks for.
struct UploadAnswer {
  int64_t serverSize = 0;
  bool hasDelay = false;  // the answer carried <fileSize>, so the delay is to be adopted
  int delayMs = 0;        // 0 when <uploadDelay> is absent; bounded by kMaxUploadDelayMs
  int photoId = 0;        // 0 when absent
};
UploadAnswer ParseUploadAnswer(std::string_view value);

// The size estimate in KiB of a file about to be sent: the file's own size, or before it is
// prepared the item's local file (a thirty-second of it for a thumbnail).
int UploadWeightEstimate(const std::string& path, const std::string& directory,
                         const std::string& localPath);

class CJobUpload : public CJobBase {
 public:
  // Waits the given milliseconds unless `cancel` is set meanwhile.
  using Sleeper = std::function<void(int milliseconds, CancelFlag* cancel)>;

  // `session` (user, password digest, upload delay) and `connections` outlive the job; `item`
  // may be null. albumID 0 or less: the album does not exist yet (see SetAlbumId).
  CJobUpload(CUserSession* session, std::shared_ptr<CHttpMngr> connections, std::string path,
             std::string directory, int albumID, CPhoto* item);

  int Weight() const override;
  ApiResult Run(CancelFlag* cancel) override;

  const std::string& Path() const { return path_; }
  const std::string& Directory() const { return directory_; }
  int AlbumId() const { return albumID_; }
  // The session hands a new album's identifier to the waiting jobs.
  void SetAlbumId(int albumID) { albumID_ = albumID; }
  int WeightEstimate() const { return weightEstimate_; }
  void SetSleeper(Sleeper sleeper) { sleeper_ = std::move(sleeper); }

 private:
  CUserSession* session_;
  std::shared_ptr<CHttpMngr> connections_;
  std::string path_;
  std::string directory_;
  int albumID_;
  int weightEstimate_ = 0;
  Sleeper sleeper_;
};

// Sleeps in short steps so that a stop request is not kept waiting.
void SleepUnlessCancelled(int milliseconds, CancelFlag* cancel);

}  // namespace zerva
