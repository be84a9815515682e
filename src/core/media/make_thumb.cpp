#include "media/make_thumb.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "app/dialogs.h"
#include "app/trace.h"
#include "lang/text.h"
#include "media/image_fit.h"
#include "media/image_load.h"
#include "media/image_metadata.h"
#include "media/image_rotate.h"
#include "media/image_save.h"
#include "media/item_image.h"
#include "media/jpeg_fit_load.h"
#include "media/preparation_settings.h"
#include "media/prepared_cache.h"
#include "media/standard_bitmap.h"
#include "media/video_targets.h"
#include "media/video_thumb.h"
#include "media/watermark.h"
#include "model/exif_block.h"
#include "model/photo.h"
#include "platform/fs.h"

namespace zerva {
namespace {

// A photo decoded for fitting into `longSide`: a JPEG at the libjpeg scale that keeps twice that
// side, a camera RAW file as its embedded preview, anything else whole.
Bitmap LoadPhoto(const std::string& path, int longSide, std::string* error) {
  if (ImageFormatOfFile(path) != kFormatRaw) return LoadForFit(path, longSide, nullptr, error);
  Bitmap image = LoadImageFile(path, LoadPurpose::kPreview, error);
  if (image != nullptr && !MakeStandardBitmap(image)) {
    if (error != nullptr) *error = LoadError(path, "the picture cannot be made 24-bit colour");
    return {};
  }
  return image;
}

void ReportUnreadable(const CPhoto& item, const PreparationSettings& settings, int sizeThumb,
                      int sizeImage, bool newAlbum, bool bigImage) {
  if (!settings.reports) return;
  const int number = settings.reports(kReportPhotoPreparation,
                                      MakeThumbReportText(sizeThumb, sizeImage, newAlbum, bigImage),
                                      item.localPath);
  if (number > 0 && settings.dialogs != nullptr) {
    settings.dialogs->ShowMessage(Text("msgInvalidFormat") + "\n" + item.localPath,
                                  MessageKind::kWarning);
  }
}

void DropImages(CPhoto& item, bool thumbnail, bool prepared) {
  std::lock_guard<std::mutex> lock(item.lock);
  if (thumbnail) item.thumbnail.reset();
  if (prepared) item.preparedImage.reset();
}

bool MakeVideoImages(CPhoto& item, const PreparationSettings& settings, int sizeThumb,
                     int sizeImage) {
  std::string error;
  SharedBitmap templ;
  if (!WatermarkFor(settings, item.hasWatermark, &templ, &error)) {
    TraceText(kTraceWarning, "MakeThumb " + item.localPath + ": " + error);
    return false;
  }
  const std::string name = VideoFrameFileName(item.fileName);
  VideoFrameRequest request;
  request.imagePath = UploadFilePath(settings.tempFolder, kImagesDir, name);
  request.thumbPath = UploadFilePath(settings.tempFolder, kThumbDir, name);
  request.patchPath = UploadFilePath(settings.tempFolder, kDiffDir, name);
  for (const std::string* path : {&request.imagePath, &request.thumbPath, &request.patchPath}) {
    CreateDirectoryPath(FolderOfPath(*path), nullptr, 0700);
  }
  request.sizeImage = sizeImage;
  request.sizeThumb = sizeThumb;
  request.rotation = VideoRotationAngle(item.rotate);
  request.maxArea = settings.videoMaxArea;
  request.watermark = templ.get();
  request.photoQuality = settings.photoQuality;
  request.thumbQuality = settings.thumbQuality;
  VideoFrameImages made;
  if (!MakeVideoFrameImages(item.video, request, &made, &error)) {
    TraceText(kTraceWarning, "MakeThumb " + item.localPath + ": " + error);
    return false;
  }
  const PixelSize frameSize = BitmapSize(made.image.get());
  const PixelSize thumbSize = BitmapSize(made.thumbnail.get());
  std::lock_guard<std::mutex> lock(item.lock);
  item.preparedImage = ToItemImage(std::move(made.image));
  item.patch = ToItemImage(std::move(made.patch));
  item.width = frameSize.width;
  item.height = frameSize.height;
  item.thumbnail = ToItemImage(std::move(made.thumbnail));
  item.thumbWidth = thumbSize.width;
  item.thumbHeight = thumbSize.height;
  return true;
}

}  // namespace

std::string MakeThumbReportText(int sizeThumb, int sizeImage, bool newAlbum, bool bigImage) {
  char text[128];
  std::snprintf(text, sizeof text,
                "MakeThumb( sizeThumb %d, sizeImage %d, newAlbum %d, bigImage %d )", sizeThumb,
                sizeImage, newAlbum ? 1 : 0, bigImage ? 1 : 0);
  return text;
}

bool MakeThumb(CPhoto& item, const PreparationSettings& settings, int sizeThumb, int sizeImage,
               bool newAlbum, bool bigImage, bool keepThumb) {
  bool needThumb = true;
  {
    std::lock_guard<std::mutex> lock(item.lock);
    if (keepThumb) {
      if (item.thumbnail != nullptr && !bigImage) return true;
    } else {
      item.thumbnail.reset();
      item.preparedImage.reset();
    }
    needThumb = item.thumbnail == nullptr;
  }
  if (item.localPath.empty()) return false;
  if (item.IsVideo()) return MakeVideoImages(item, settings, sizeThumb, sizeImage);

  std::string error;
  Bitmap image = LoadPhoto(item.localPath, bigImage ? sizeImage : sizeThumb, &error);
  if (image == nullptr) {
    TraceText(kTraceWarning, "MakeThumb: " + error);
    if (FileExists(item.localPath)) {
      ReportUnreadable(item, settings, sizeThumb, sizeImage, newAlbum, bigImage);
    }
    return false;
  }

  int rotate = 0;
  Bitmap quick;
  {
    std::lock_guard<std::mutex> lock(item.lock);
    const int orientation = item.exifInfo.orientation;
    // A turn the user made is never undone by the camera's orientation.
    if (item.exifRead && (newAlbum || !item.included) && !item.edited && orientation > 1) {
      item.rotate = RotationCodeFromOrientation(orientation);
    }
    rotate = item.rotate;
    if (bigImage && rotate != 0) quick = CopyOfItemImage(item.quickImage);
  }
  if (!RotateByCode(image, rotate)) {
    TraceText(kTraceWarning, "MakeThumb " + item.localPath + ": the picture cannot be turned");
    return false;
  }

  bool ok = true;
  Bitmap thumbnailSource;
  if (bigImage) {
    // The upright EXIF thumbnail, so that viewers of the file see it the right way round too.
    if (quick != nullptr) ReplaceEmbeddedThumbnail(image.get(), quick.get());
    Bitmap patch;
    SharedBitmap templ;
    bool prepared = FitBitmap(image, sizeImage, ResampleFilter::kLanczos3);
    // The thumbnail comes from the fitted picture before the watermark: the same picture with a
    // quarter of the pixels to average.
    if (prepared && needThumb) thumbnailSource = CloneBitmap(image.get());
    if (prepared && !WatermarkFor(settings, item.hasWatermark, &templ, &error)) {
      // Never an unmarked image where a watermark was asked for; the next pass tries again.
      TraceText(kTraceWarning, "MakeThumb " + item.localPath + ": " + error);
      prepared = false;
    }
    if (prepared && templ != nullptr) prepared = WatermarkImage(image, templ.get(), &patch);
    if (prepared) {
      const PixelSize size = BitmapSize(image.get());
      std::lock_guard<std::mutex> lock(item.lock);
      item.preparedImage = ToItemImage(std::move(image));
      item.patch = ToItemImage(std::move(patch));
      item.width = size.width;
      item.height = size.height;
    } else {
      DropImages(item, false, true);
      ok = false;
    }
  } else {
    thumbnailSource = std::move(image);
  }

  if (needThumb) {
    Bitmap thumbnail =
        thumbnailSource != nullptr ? MakeThumbnail(thumbnailSource.get(), sizeThumb) : Bitmap();
    if (thumbnail == nullptr) {
      DropImages(item, true, false);
      return false;
    }
    const PixelSize size = BitmapSize(thumbnail.get());
    std::lock_guard<std::mutex> lock(item.lock);
    item.thumbnail = ToItemImage(std::move(thumbnail));
    item.thumbWidth = size.width;
    item.thumbHeight = size.height;
  }
  return ok;
}

}  // namespace zerva
