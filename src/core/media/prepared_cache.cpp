#include "media/prepared_cache.h"

#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <mutex>

#include "media/image_fit.h"
#include "media/image_load.h"
#include "media/image_save.h"
#include "media/item_image.h"
#include "media/preparation_settings.h"
#include "model/file_times.h"
#include "model/jpeg_orientation.h"
#include "model/photo.h"
#include "platform/fs.h"

namespace zerva {
namespace {

std::string CacheFolder(const std::string& tempFolder, const std::string& dir) {
  return WithTrailingSlash(tempFolder) + dir + "/";
}

// The local file time a cache file was made for, from its name; -1 when the name has no key.
int64_t FileTimeOfCacheName(const std::string& path) {
  const std::string name = FileNameOfPath(path);
  size_t start = 0;
  for (int field = 0; field < 2; ++field) {
    start = name.find('_', start);
    if (start == std::string::npos) return -1;
    ++start;
  }
  char* end = nullptr;
  const unsigned long long time = std::strtoull(name.c_str() + start, &end, 16);
  if (end == name.c_str() + start || *end != '_') return -1;
  return static_cast<int64_t>(time);
}

struct CachePaths {
  std::string image, thumb, patch;
};

// The cache files of one item at one size, for the local file's time and the rotation code.
CachePaths CachePathsOf(const PreparationSettings& settings, int size, int64_t fileTime, int rotate,
                        const std::string& fileName) {
  auto path = [&](const char* dir) {
    return PreparedCachePath(settings.tempFolder, dir, settings.albumID, size, fileTime, rotate,
                             fileName);
  };
  return {path(kImagesDir), path(kThumbDir), path(kDiffDir)};
}

// What the item remembers of its prepared files; `preparedTime` 0 marks the cache unusable. The
// caller holds the item's lock.
struct PreparedRecord {
  CachePaths paths;
  int size = 0;
  int rotate = 0;
  int64_t preparedTime = 0;
  PixelSize image, thumb, patch;
};

void Remember(CPhoto& item, const PreparedRecord& record) {
  item.preparedImagePath = record.paths.image;
  item.preparedThumbPath = record.paths.thumb;
  item.preparedPatchPath = record.paths.patch;
  PreparationKey& key = item.prepared;
  key.preparedSize = record.size;
  key.preparedRotate = record.rotate;
  key.preparedFileTime = record.preparedTime;
  key.preparedImageWidth = record.image.width;
  key.preparedImageHeight = record.image.height;
  key.preparedThumbWidth = record.thumb.width;
  key.preparedThumbHeight = record.thumb.height;
  key.preparedPatchWidth = record.patch.width;
  key.preparedPatchHeight = record.patch.height;
}

void RemoveIfOther(const std::string& old, const std::string& now) {
  if (!old.empty() && old != now) ::unlink(old.c_str());
}

PixelSize HeaderSize(const std::string& path) {
  PixelSize size;
  if (!ReadImageSize(path, &size)) return {};
  return size;
}

}  // namespace

std::string PreparedCachePath(const std::string& tempFolder, const std::string& dir, int albumID,
                              int size, int64_t fileTime, int rotate, const std::string& fileName) {
  char prefix[96];
  std::snprintf(prefix, sizeof prefix, "%X_%X_%" PRIX64 "_%d_", static_cast<unsigned>(albumID),
                static_cast<unsigned>(size), static_cast<uint64_t>(fileTime), rotate);
  return CacheFolder(tempFolder, dir) + prefix + fileName;
}

std::string UploadFilePath(const std::string& tempFolder, const std::string& dir,
                           const std::string& fileName) {
  return CacheFolder(tempFolder, dir) + fileName;
}

bool IsPreparedValid(const CPhoto& item, int size) {
  std::string imagePath, thumbPath;
  int64_t preparedTime = 0;
  {
    std::lock_guard<std::mutex> lock(item.lock);
    const PreparationKey& key = item.prepared;
    if (key.preparedFileTime <= 0 || key.preparedSize != size ||
        key.preparedRotate != item.rotate) {
      return false;
    }
    preparedTime = key.preparedFileTime;
    imagePath = item.preparedImagePath;
    thumbPath = item.preparedThumbPath;
  }
  // A local file changed after the cache was made must be prepared again.
  const int64_t localTime = item.LocalFileTime();
  return FileModificationTime(imagePath) == preparedTime && FileExists(thumbPath) &&
         localTime > 0 && FileTimeOfCacheName(imagePath) == localTime;
}

bool FindPrepared(CPhoto& item, const PreparationSettings& settings, int size) {
  const int64_t fileTime = item.LocalFileTime();
  if (fileTime <= 0) return false;
  PreparedRecord record;
  record.paths = CachePathsOf(settings, size, fileTime, item.rotate, item.fileName);
  if (!FileExists(record.paths.image) || !FileExists(record.paths.thumb)) return false;
  if (!FileExists(record.paths.patch)) record.paths.patch.clear();
  record.size = size;
  record.rotate = item.rotate;
  record.image = HeaderSize(record.paths.image);
  record.thumb = HeaderSize(record.paths.thumb);
  if (!record.paths.patch.empty()) record.patch = HeaderSize(record.paths.patch);
  record.preparedTime = FileModificationTime(record.paths.image);
  if (record.image.width <= 0 || record.thumb.width <= 0 || record.preparedTime <= 0) {
    return false;
  }
  std::lock_guard<std::mutex> lock(item.lock);
  Remember(item, record);
  return true;
}

bool SavePrepared(CPhoto& item, const PreparationSettings& settings, int size, bool dropImage) {
  // Copies under the lock, encoding outside it: the thumbnail loader may replace the images.
  Bitmap image, patch;
  int orientation = 0;
  std::string oldImage, oldThumb, oldPatch;
  {
    std::lock_guard<std::mutex> lock(item.lock);
    image = CopyOfItemImage(item.preparedImage);
    patch = CopyOfItemImage(item.patch);
    orientation = item.exifInfo.orientation;
    oldImage = item.preparedImagePath;
    oldThumb = item.preparedThumbPath;
    oldPatch = item.preparedPatchPath;
  }
  if (image == nullptr) return false;
  const int64_t fileTime = item.LocalFileTime();
  const int rotate = item.rotate;
  for (const char* dir : {kImagesDir, kThumbDir, kDiffDir}) {
    CreateDirectoryPath(CacheFolder(settings.tempFolder, dir), nullptr, 0700);
  }
  const CachePaths paths = CachePathsOf(settings, size, fileTime, rotate, item.fileName);
  const std::string& imagePath = paths.image;
  const std::string& thumbPath = paths.thumb;
  const std::string patchPath = patch != nullptr ? paths.patch : std::string();

  if (!SaveJpeg(image.get(), imagePath, settings.photoQuality)) {
    std::lock_guard<std::mutex> lock(item.lock);
    item.prepared.preparedFileTime = 0;
    return false;
  }
  // The pixels are upright now; a viewer must not turn them again.
  if (orientation > 1) ResetOrientation(imagePath);
  const PixelSize imageSize = BitmapSize(image.get());
  const Bitmap thumbnail = MakeThumbnail(image.get(), settings.sizeThumb);
  const bool thumbSaved =
      thumbnail != nullptr && SaveJpeg(thumbnail.get(), thumbPath, settings.thumbQuality);
  const bool patchSaved =
      patch == nullptr || SaveJpeg(patch.get(), patchPath, settings.photoQuality);
  const int64_t imageTime = FileModificationTime(imagePath);

  PreparedRecord record;
  record.paths = {imagePath, thumbPath, patchSaved ? patchPath : std::string()};
  record.size = size;
  record.rotate = rotate;
  // A cache without its thumbnail, or a watermarked image without its patch, is never used.
  record.preparedTime = thumbSaved && patchSaved ? imageTime : 0;
  record.image = imageSize;
  record.thumb = BitmapSize(thumbnail.get());
  record.patch = BitmapSize(patch.get());
  {
    std::lock_guard<std::mutex> lock(item.lock);
    Remember(item, record);
    if (dropImage) item.preparedImage.reset();
  }
  RemoveIfOther(oldImage, imagePath);
  RemoveIfOther(oldThumb, thumbPath);
  RemoveIfOther(oldPatch, patchPath);
  return thumbSaved && patchSaved;
}

void DropPrepared(CPhoto& item) {
  std::string image, thumb, patch;
  {
    std::lock_guard<std::mutex> lock(item.lock);
    item.prepared = PreparationKey();
    image = std::move(item.preparedImagePath);
    thumb = std::move(item.preparedThumbPath);
    patch = std::move(item.preparedPatchPath);
    item.preparedImagePath.clear();
    item.preparedThumbPath.clear();
    item.preparedPatchPath.clear();
  }
  for (const std::string& path : {image, thumb, patch}) {
    if (!path.empty()) ::unlink(path.c_str());
  }
}

}  // namespace zerva
