#include "jobs/unknown_videos.h"

#include <thread>

#include "app/dialogs.h"
#include "app/elements.h"
#include "app/trace.h"
#include "jobs/job_description.h"
#include "jobs/job_video_upload.h"
#include "lang/text.h"
#include "model/photo.h"
#include "platform/fs.h"

namespace zerva {

namespace {

// AcceptUnkVideoUpload: the service's word on taking an original of `size` bytes.
bool ServiceTakesOriginal(int64_t size, const char* reason, const OriginalUploadContext& context) {
  if (context.connection == nullptr) return false;
  const ApiResult answer =
      context.connection->AcceptUnkVideoUpload(size, context.userName, context.userPass, reason);
  return answer.Ok() && GetElement(answer.value, "continue") == "yes";
}

void AddOriginal(const std::string& path, int64_t size, const OriginalUploadContext& context) {
  if (context.pool == nullptr) return;
  const std::string message =
      FillJobText(Text("msgUploadUnkVideo1"), {path}) + "\n" + Text("msgUploadUnkVideo2");
  context.pool->AddTask(std::make_shared<CSendOriginalVideo>(
      path, size, Text("msgUploadUnkVideoCaption"), message, context));
}

}  // namespace

void WaitForOriginals(const OriginalUploadContext& context) {
  if (context.pool == nullptr) return;
  while (context.pool->CountRunning(true) > 0) {
    if (context.ui != nullptr) context.ui->PumpWaiting();
    std::this_thread::sleep_for(std::chrono::milliseconds(context.pollMs));
    if (context.ui != nullptr) context.ui->PumpWaiting();
  }
}

int SendUnknownVideos(const std::vector<CJobBase*>& jobs, const OriginalUploadContext& context,
                      Dialogs& dialogs) {
  int sent = 0;
  for (CJobBase* job : jobs) {
    auto* video = dynamic_cast<CJobVideoUpload*>(job);
    if (video == nullptr || video->Kind() != kJobKindVideoUpload || video->Item() == nullptr ||
        video->State() != kJobFailed || !video->ConversionFailed()) {
      continue;
    }
    const std::string path = video->Item()->localPath;
    const int64_t size = FileSize(path);
    if (size <= 0) continue;
    if (!ServiceTakesOriginal(size, "encoder", context)) continue;
    const std::string question =
        FillJobText(Text("msgUnknownVideo1"), {path}) + "\n" + Text("msgUnknownVideo2");
    if (dialogs.ShowMessage(question, MessageKind::kError, MessageButtons::kYesNo) != Reply::kYes) {
      continue;
    }
    AddOriginal(path, size, context);
    ++sent;
  }
  WaitForOriginals(context);
  return sent;
}

bool SendOriginalExplicitly(const std::string& path, const OriginalUploadContext& context) {
  const int64_t size = FileSize(path);
  if (size <= 0 || !ServiceTakesOriginal(size, "explicit", context)) return false;
  AddOriginal(path, size, context);
  return true;
}

}  // namespace zerva
