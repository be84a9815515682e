#include "ui/item_turn.h"

#include <unistd.h>

#include <mutex>
#include <string>
#include <utility>

#include "media/image_rotate.h"
#include "media/image_save.h"
#include "media/item_image.h"
#include "media/preparation_settings.h"
#include "media/prepared_cache.h"
#include "media/video_thumb.h"
#include "model/photo.h"
#include "platform/fs.h"

namespace zerva {
namespace {

// A turned copy, so that a picture someone still draws is never changed under them; null when
// there is none or the library fails.
ImagePtr Turned(const ImagePtr& image, int quarters) {
  Bitmap copy = CopyOfItemImage(image);
  if (copy == nullptr || !RotateByCode(copy, quarters)) return nullptr;
  return ToItemImage(std::move(copy));
}

}  // namespace

int TurnedRotationCode(int code, int quarters) {
  const int flip = code & 4;
  return flip | (((code + quarters) % 4 + 4) % 4);
}

bool TurnItem(CPhoto& item, int quarters) {
  quarters = (quarters % 4 + 4) % 4;
  std::lock_guard<std::mutex> lock(item.lock);
  const int code = item.rotate;
  item.rotate = TurnedRotationCode(code, quarters);
  if (quarters == 0) return true;
  // The flip comes after the turn, so a mirrored picture shows the turn the other way round.
  const int shown = (code & 4) != 0 ? (4 - quarters) % 4 : quarters;
  bool ok = true;
  for (ImagePtr* image : {&item.quickImage, &item.thumbnail}) {
    if (*image == nullptr) continue;
    *image = Turned(*image, shown);
    ok = ok && *image != nullptr;
  }
  if (item.preparedImage != nullptr && !item.hasWatermark) {
    item.preparedImage = Turned(item.preparedImage, shown);
    ok = ok && item.preparedImage != nullptr;
  } else {
    item.preparedImage.reset();
    item.patch.reset();
  }
  if (shown % 2 != 0) {
    std::swap(item.width, item.height);
    std::swap(item.thumbWidth, item.thumbHeight);
  }
  return ok;
}

void RewriteVideoFrameFiles(CPhoto& item, const PreparationSettings& settings) {
  const std::string name = VideoFrameFileName(item.fileName);
  const std::string imagePath = UploadFilePath(settings.tempFolder, kImagesDir, name);
  const std::string thumbPath = UploadFilePath(settings.tempFolder, kThumbDir, name);
  const std::string patchPath = UploadFilePath(settings.tempFolder, kDiffDir, name);
  Bitmap image, thumbnail;
  {
    std::lock_guard<std::mutex> lock(item.lock);
    image = CopyOfItemImage(item.preparedImage);
    thumbnail = CopyOfItemImage(item.thumbnail);
  }
  for (const std::string* path : {&imagePath, &thumbPath}) {
    CreateDirectoryPath(FolderOfPath(*path), nullptr, 0700);
  }
  // A file that cannot be written is removed: the preparation makes what is missing.
  if (thumbnail == nullptr || !SaveJpeg(thumbnail.get(), thumbPath, settings.thumbQuality)) {
    ::unlink(thumbPath.c_str());
  }
  if (image == nullptr || !SaveJpeg(image.get(), imagePath, settings.photoQuality)) {
    ::unlink(imagePath.c_str());
    ::unlink(patchPath.c_str());
  }
}

}  // namespace zerva
