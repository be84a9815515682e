#include "media/prepare_files.h"

#include <atomic>
#include <thread>

#include "media/advance_preparation.h"
#include "media/make_image.h"
#include "media/preparation_settings.h"
#include "media/prepared_cache.h"
#include "model/album.h"
#include "model/album_items.h"
#include "model/exif_block.h"
#include "model/folder_scan.h"
#include "platform/fs.h"

namespace zerva {
namespace {

void PrepareOne(CPhoto& item, const std::string& outDir, const PreparationSettings& settings,
                const PrepareFilesOptions& options, PreparedFile* result) {
  MakeImageInputs inputs;
  inputs.sourcePath = item.localPath;
  inputs.imagePath = UploadFilePath(outDir, kImagesDir, item.fileName);
  inputs.thumbPath = UploadFilePath(outDir, kThumbDir, item.fileName);
  inputs.sizeImage = options.resolution;
  inputs.sizeThumb = options.sizeThumb;
  if (SameFile(inputs.sourcePath, inputs.imagePath) ||
      SameFile(inputs.sourcePath, inputs.thumbPath)) {
    result->error = "the output would overwrite the photo itself";
    return;
  }
  // A new album's rule: the camera's orientation decides how the picture is turned.
  if (item.exifRead && item.exifInfo.orientation > 1) {
    item.rotate = RotationCodeFromOrientation(item.exifInfo.orientation);
  }
  result->ok = MakeImageFiles(item, inputs, settings, nullptr, &result->error);
  if (!result->ok) return;
  result->error.clear();
  result->image = inputs.imagePath;
  result->thumb = inputs.thumbPath;
  result->width = item.width;
  result->height = item.height;
  result->thumbWidth = item.thumbWidth;
  result->thumbHeight = item.thumbHeight;
  result->rotate = item.rotate;
}

}  // namespace

std::vector<PreparedFile> PrepareFiles(const std::vector<std::string>& files,
                                       const std::string& outDir,
                                       const PrepareFilesOptions& options) {
  std::vector<PreparedFile> results(files.size());
  CAlbum album;
  album.SetMaxSizeImage(options.resolution);
  album.maxSizeThumb = options.sizeThumb;
  // Items in file order; `owner[i]` is the item of files[i], or null when it was refused.
  std::vector<CPhoto*> owner(files.size(), nullptr);
  for (size_t i = 0; i < files.size(); ++i) {
    results[i].source = files[i];
    std::vector<std::string> rejected, reIncluded, present;
    const size_t knownLeftOut = album.leftOut.size();
    if (AddFile(album, files[i], &rejected, &reIncluded, &present)) {
      owner[i] = album.items.back().get();
    } else if (!present.empty()) {
      results[i].error = "given twice";
    } else {
      // Named for what it is ("not a picture", "a GIF picture; ..."), as a folder scan names it.
      results[i].error = album.leftOut.size() > knownLeftOut ? LeftOutText(album.leftOut.back())
                                                             : "not a photo the album can take";
    }
  }

  PreparationSettings settings;
  settings.photoQuality = options.photoQuality;
  settings.hdQuality = options.photoQuality;
  settings.thumbQuality = options.thumbQuality;
  settings.sizeThumb = options.sizeThumb;
  settings.tempFolder = WithTrailingSlash(outDir);

  std::atomic<size_t> next{0};
  auto work = [&] {
    for (size_t i = next.fetch_add(1); i < files.size(); i = next.fetch_add(1)) {
      if (owner[i] != nullptr) PrepareOne(*owner[i], outDir, settings, options, &results[i]);
    }
  };
  const int threads = PreparationThreads(options.threads, static_cast<int>(files.size()));
  std::vector<std::thread> pool;
  for (int i = 1; i < threads; ++i) pool.emplace_back(work);
  work();
  for (std::thread& thread : pool) thread.join();
  return results;
}

}  // namespace zerva
