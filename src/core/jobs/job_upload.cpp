#include "jobs/job_upload.h"

#include <algorithm>
#include <chrono>
#include <thread>

#include "app/elements.h"
#include "app/usage_stats.h"
#include "jobs/job_description.h"
#include "lang/text.h"
#include "model/photo.h"
#include "net/http_connect.h"
#include "net/http_mngr.h"
#include "platform/fs.h"
#include "session/user_session.h"

namespace zerva {
namespace {

int64_t LeadingNumber(std::string_view text) {
  int64_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') break;
    if (value > (INT64_MAX - 9) / 10) break;  // a longer number is no file size
    value = value * 10 + (c - '0');
  }
  return value;
}

int64_t MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

UploadAnswer ParseUploadAnswer(std::string_view value) {
  UploadAnswer answer;
  answer.photoId =
      static_cast<int>(std::clamp<int64_t>(GetElementInt(value, "photoID"), 0, INT32_MAX));
  if (value.find("<fileSize>") == std::string_view::npos) {
    answer.serverSize = LeadingNumber(value);
    return answer;
  }
  answer.serverSize = GetElementInt(value, "fileSize");
  answer.hasDelay = true;
  answer.delayMs = static_cast<int>(
      std::clamp<int64_t>(GetElementInt(value, "uploadDelay"), 0, kMaxUploadDelayMs));
  return answer;
}

int UploadWeightEstimate(const std::string& path, const std::string& directory,
                         const std::string& localPath) {
  int64_t size = FileSize(path);
  if (size < 1 && !localPath.empty()) {
    size = FileSize(localPath);
    if (size > 0 && directory.find("/thumb") != std::string::npos) size /= 32;
  }
  return static_cast<int>(std::clamp<int64_t>(size / 1024, 0, INT32_MAX));
}

void SleepUnlessCancelled(int milliseconds, CancelFlag* cancel) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < end) {
    if (cancel != nullptr && cancel->load()) return;
    const auto left = end - std::chrono::steady_clock::now();
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(left, std::chrono::milliseconds(50)));
  }
}

CJobUpload::CJobUpload(CUserSession* session, std::shared_ptr<CHttpMngr> connections,
                       std::string path, std::string directory, int albumID, CPhoto* item)
    : session_(session),
      connections_(std::move(connections)),
      path_(std::move(path)),
      directory_(std::move(directory)),
      albumID_(albumID),
      sleeper_(SleepUnlessCancelled) {
  SetKind(kJobKindUpload);
  SetItem(item);
  SetName(FileNameOfPath(path_));
  SetDescription(FillJobText(Text("jobUploadDesc"), {path_}));
  weightEstimate_ =
      UploadWeightEstimate(path_, directory_, item != nullptr ? item->localPath : std::string());
}

int CJobUpload::Weight() const {
  return std::max(kMinUploadWeight, weightEstimate_);
}

ApiResult CJobUpload::Run(CancelFlag* cancel) {
  ApiResult result;
  if (session_ == nullptr || connections_ == nullptr) {
    return ApiResult::Failure("UploadFile: no session");
  }
  if (Item() != nullptr) {
    std::string failure;
    {
      std::lock_guard<std::mutex> lock(Item()->lock);
      failure = Item()->preparationFailure;
    }
    if (!failure.empty()) {
      // Sending would only fail again at the service; the session names the file instead.
      SetHopeless(true);
      return ApiResult::Failure("UploadFile " + path_ +
                                ": not sent, the photo could not be "
                                "prepared: " +
                                failure);
    }
  }
  // libcurl would only say that it cannot rewind the data of a file that is not there.
  if (!FileExists(path_)) return ApiResult::Failure("UploadFile " + path_ + ": no such file");
  const std::string setting = Item() != nullptr ? Item()->ToXml() : std::string();
  std::unique_ptr<CHttpConnect> connection = connections_->GetConnection();
  if (connection == nullptr) return ApiResult::Failure("UploadFile: no connection");
  connection->SetNotify(NotifyWindow(), NotifyMessage());
  connection->SetProgressRange(RangeStart(), RangeEnd());

  const int delay = session_->UploadDelayMs();
  if (delay > 0 && sleeper_) sleeper_(delay, cancel);

  const SessionCredentials user = session_->Credentials();
  const int64_t t0 = MonotonicMs();
  result = connection->UploadFile(user.name, user.passwordDigest, directory_, albumID_, setting,
                                  path_, cancel);
  const int64_t t1 = MonotonicMs();

  const double kilobits = static_cast<double>(FileSize(path_)) / 128.0;
  if (kilobits > 0) AppStatistics().RecordTransfer(true, kilobits, (t1 - t0) / 1000.0);

  if (result.code == 1) {
    const int64_t local = FileSize(path_);
    const UploadAnswer answer = ParseUploadAnswer(result.value);
    if (answer.hasDelay) session_->SetUploadDelayMs(answer.delayMs);
    if (answer.serverSize == local && answer.serverSize > 0) {
      // The item is known to the service from its first upload on.
      if (Item() != nullptr && answer.photoId > 0) {
        std::lock_guard<std::mutex> lock(Item()->lock);
        if (Item()->photoID <= 0) Item()->photoID = answer.photoId;
      }
      if (NotifyWindow() != nullptr) {
        NotifyWindow()->Send(
            {kMsgBytesConfirmed, static_cast<MessageParam>(answer.serverSize), -1, nullptr});
      }
    } else {
      result = ApiResult::Failure("Nepodarilo se nahrat soubor \"" + path_ + "\" cely.");
    }
  }
  connections_->ReleaseConnection(connection);
  return result;
}

}  // namespace zerva
