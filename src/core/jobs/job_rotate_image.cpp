#include "jobs/job_rotate_image.h"

#include <FreeImage.h>

#include <algorithm>
#include <mutex>

#include "jobs/job_description.h"
#include "lang/text.h"
#include "media/image_fit.h"
#include "media/image_load.h"
#include "media/image_save.h"
#include "media/item_download.h"
#include "media/item_image.h"
#include "media/jpeg_rotate.h"
#include "media/prepared_cache.h"
#include "media/standard_bitmap.h"
#include "media/watermark.h"
#include "model/photo.h"
#include "net/endpoints.h"
#include "net/http_mngr.h"
#include "platform/fs.h"

namespace zerva {
namespace {

inline constexpr int kMinRotateWeight = 50;

ApiResult Failed(const std::string& what) {
  return ApiResult::Failure("RotateImage: " + what);
}

PixelSize HeaderSize(const std::string& path) {
  PixelSize size;
  ReadImageSize(path, &size);
  return size;
}

}  // namespace

int RotateImageWeight(const CPhoto& item) {
  int64_t size = item.fileSize;
  if (size <= 0) size = item.fileSizeOriginal;
  if (size <= 0) size = std::max<int64_t>(FileSize(item.localPath), 0);
  return static_cast<int>(std::clamp<int64_t>(2 * (size / 1024), kMinRotateWeight, INT32_MAX));
}

CJobRotateImage::CJobRotateImage(int degrees, RotateImagePaths paths, const std::string& userName,
                                 const std::string& serverDir, int targetSize, CPhoto* item,
                                 std::shared_ptr<CHttpMngr> connections,
                                 PreparationSettings settings)
    : degrees_(degrees),
      paths_(std::move(paths)),
      albumUrl_(AlbumPageUrl(userName, serverDir)),
      targetSize_(targetSize),
      connections_(std::move(connections)),
      settings_(std::move(settings)) {
  SetKind(kJobKindRotateImage);
  SetItem(item);
  const std::string fileName = item != nullptr ? item->fileName : std::string();
  SetName(fileName);
  SetDescription(
      FillJobText(Text(degrees == 0 ? "jobDowngradeImageDesc" : "jobRotateImageDesc"), {fileName}));
  if (item != nullptr) weight_ = RotateImageWeight(*item);
}

ApiResult CJobRotateImage::Run(CancelFlag* cancel) {
  if (Item() == nullptr || connections_ == nullptr) return Failed("no item");
  if (degrees_ != 0 && degrees_ != 90 && degrees_ != 180 && degrees_ != 270) {
    return Failed("cannot turn by " + std::to_string(degrees_) + " degrees");
  }
  for (const std::string* path : {&paths_.image, &paths_.hd, &paths_.thumb, &paths_.patch}) {
    if (!path->empty()) CreateDirectoryPath(FolderOfPath(*path), nullptr, 0700);
  }
  std::unique_ptr<CHttpConnect> connection = connections_->GetConnection();
  if (connection == nullptr) return Failed("no connection");
  connection->SetNotify(NotifyWindow(), NotifyMessage());
  connection->SetProgressRange(RangeStart(), RangeEnd());
  ApiResult result = Turn(*connection, cancel);
  connections_->ReleaseConnection(connection);
  return result.Ok() ? CJobBase::Run(cancel) : result;
}

ApiResult CJobRotateImage::Turn(CHttpConnect& connection, CancelFlag* cancel) {
  CPhoto& item = *Item();
  std::string error;
  // A turn the file did not get must not be recorded as done: the service would keep the old
  // orientation under the new rotation code.
  auto turn = [&](const std::string& path) { return RotateJpegFile(path, degrees_, &error); };

  if (item.isHdPhoto && degrees_ != 0) {
    ApiResult got =
        DownloadItemFile(connection, item, albumUrl_, kHdImagesDir, paths_.hd, 0.0, 0.2, cancel);
    if (!got.Ok()) return got;
    if (!turn(paths_.hd)) return Failed(error);
    const PixelSize hd = HeaderSize(paths_.hd);
    const int64_t hdSize = FileSize(paths_.hd);
    std::lock_guard<std::mutex> lock(item.lock);
    item.hdwidth = hd.width;
    item.hdheight = hd.height;
    item.hdSize = hdSize;
  }

  ApiResult got =
      DownloadItemFile(connection, item, albumUrl_, kImagesDir, paths_.image, 0.2, 0.5, cancel);
  if (!got.Ok()) return got;
  if (item.savedHasWatermark) {
    SetProgress(0.5);
    Bitmap image = LoadImageFile(paths_.image, JPEG_ACCURATE, &error);
    Bitmap patch;
    {
      std::lock_guard<std::mutex> lock(item.lock);
      patch = CopyOfItemImage(item.patch);
    }
    // Without its patch the old watermark would stay under the new one for good.
    if (image == nullptr) return Failed(error);
    if (!RemoveWatermark(image.get(), patch.get())) {
      return Failed(item.fileName + ": the service's watermark cannot be removed");
    }
    SetProgress(0.64);
    if (!SaveJpeg(image.get(), paths_.image, settings_.photoQuality, &error)) return Failed(error);
    SetProgress(0.67);
  }

  SetProgress(0.7);
  if (!turn(paths_.image)) return Failed(error);
  PixelSize size = HeaderSize(paths_.image);
  if (degrees_ == 0 && targetSize_ > 0 && targetSize_ < std::max(size.width, size.height)) {
    Bitmap image = LoadImageFile(paths_.image, JPEG_ACCURATE, &error);
    if (image == nullptr) return Failed(error);
    if (!MakeStandardBitmap(image) || !FitBitmap(image, targetSize_, ResampleFilter::kLanczos3)) {
      return Failed(item.fileName + ": the image cannot be reduced");
    }
    if (!SaveJpeg(image.get(), paths_.image, settings_.photoQuality, &error)) return Failed(error);
    size = HeaderSize(paths_.image);
  }
  {
    std::lock_guard<std::mutex> lock(item.lock);
    item.width = size.width;
    item.height = size.height;
  }

  if (item.hasWatermark) {
    SetProgress(0.75);
    SharedBitmap templ;
    if (!WatermarkFor(settings_, true, &templ, &error)) return Failed(error);
    if (templ != nullptr) {
      if (!WatermarkFile(paths_.image, JPEG_ACCURATE, settings_.photoQuality, paths_.patch,
                         templ.get(), &error)) {
        return Failed(error);
      }
      const int64_t patchSize = FileSize(paths_.patch);
      std::lock_guard<std::mutex> lock(item.lock);
      item.patchSize = patchSize;
    }
  }
  {
    const int64_t imageSize = FileSize(paths_.image);
    std::lock_guard<std::mutex> lock(item.lock);
    item.imageSize = imageSize;
  }

  if (degrees_ != 0) {
    got = DownloadItemFile(connection, item, albumUrl_, kThumbDir, paths_.thumb, 0.8, 0.95, cancel);
    if (!got.Ok()) return got;
    SetProgress(0.96);
    if (!turn(paths_.thumb)) return Failed(error);
    const PixelSize thumb = HeaderSize(paths_.thumb);
    const int64_t thumbSize = FileSize(paths_.thumb);
    std::lock_guard<std::mutex> lock(item.lock);
    item.thumbWidth = thumb.width;
    item.thumbHeight = thumb.height;
    item.thumbSize = thumbSize;
  }
  {
    std::lock_guard<std::mutex> lock(item.lock);
    item.SumFileSizes();
  }
  SetProgress(1.0);
  return ApiResult();
}

}  // namespace zerva
