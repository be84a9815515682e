#include "media/item_download.h"

#include <mutex>

#include "app/trace.h"
#include "media/image_load.h"
#include "media/item_image.h"
#include "media/prepared_cache.h"
#include "model/photo.h"
#include "platform/fs.h"
#include "session/user_session.h"

namespace zerva {

std::string ItemFileUrl(const CPhoto& item, const std::string& albumUrl, const std::string& dir) {
  const std::string base = WithTrailingSlash(item.photosUrl.empty() ? albumUrl : item.photosUrl);
  return base + dir + "/" + item.fileName;
}

ApiResult DownloadItemFile(CHttpConnect& connection, const CPhoto& item,
                           const std::string& albumUrl, const std::string& dir,
                           const std::string& path, double start, double end, CancelFlag* cancel) {
  const double rangeStart = connection.ProgressStart();
  const double rangeEnd = connection.ProgressEnd();
  const double span = rangeEnd - rangeStart;
  connection.SetProgressRange(rangeStart + span * start, rangeStart + span * end);
  CreateDirectoryPath(FolderOfPath(path), nullptr, 0700);
  ApiResult result = connection.DownloadFile(ItemFileUrl(item, albumUrl, dir), path, cancel, "");
  connection.SetProgressRange(rangeStart, rangeEnd);
  return result;
}

bool DownloadPatch(CPhoto& item, CHttpConnect& connection, const SessionCredentials& user,
                   const std::string& tempFolder) {
  {
    std::lock_guard<std::mutex> lock(item.lock);
    item.patch.reset();
  }
  CreateDirectoryPath(WithTrailingSlash(tempFolder) + kDiffDir, nullptr, 0700);
  const std::string path = UploadFilePath(tempFolder, kDiffDir, item.fileName);
  const ApiResult fetched =
      connection.GetWatermarkPatch(user.name, user.passwordDigest, user.userId, item.photoID, path);
  if (!fetched.Ok()) {
    TraceText(kTraceWarning, "DownloadPatch " + item.fileName + ": " + fetched.message);
    return false;
  }
  std::string error;
  Bitmap patch = LoadImageFile(path, LoadPurpose::kPreview, &error);
  if (patch == nullptr) {
    TraceText(kTraceWarning, "DownloadPatch: " + error);
    return false;
  }
  std::lock_guard<std::mutex> lock(item.lock);
  item.patch = ToItemImage(std::move(patch));
  return true;
}

}  // namespace zerva
