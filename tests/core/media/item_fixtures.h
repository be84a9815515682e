// Album items with local photo files, and the settings their preparation takes, for the tests of
// item-level preparation.
#pragma once

#include <FreeImage.h>

#include <memory>
#include <string>

#include "media/image_load.h"
#include "media/make_image.h"
#include "media/preparation_settings.h"
#include "media/prepared_cache.h"
#include "media_fixtures.h"
#include "model/photo.h"
#include "platform/fs.h"
#include "support/temp_dir.h"

namespace zerva::test {

// A photo item for the JPEG (or other picture) at `path`, as a folder scan makes it.
inline std::unique_ptr<CPhoto> PhotoItem(const std::string& path, const std::string& fileName) {
  auto item = std::make_unique<CPhoto>();
  item->localPath = path;
  item->fileName = fileName;
  item->imageFormat = ImageFormatOfFile(path);
  return item;
}

// What a preparation of `source` at `sizeImage` is given: the upload files of the photo named
// `name` in the settings' temporary folder.
inline MakeImageInputs UploadInputs(const PreparationSettings& settings, const std::string& source,
                                    int sizeImage, const std::string& name = "p.jpg") {
  MakeImageInputs in;
  in.sourcePath = source;
  in.imagePath = UploadFilePath(settings.tempFolder, kImagesDir, name);
  in.thumbPath = UploadFilePath(settings.tempFolder, kThumbDir, name);
  in.hdPath = UploadFilePath(settings.tempFolder, kHdImagesDir, name);
  in.patchPath = UploadFilePath(settings.tempFolder, kDiffDir, name);
  in.sizeImage = sizeImage;
  return in;
}

// A camera-like JPEG of `width` x `height` at `quality`.
inline std::string PhotoFile(const TempDir& dir, const std::string& name, int width, int height,
                             int quality = 90, unsigned seed = 1) {
  const Bitmap image = PhotoLike(width, height, seed);
  return SavedJpeg(image.get(), dir.File(name), quality);
}

// Four solid quadrants (red top-left, green top-right, blue bottom-left, white bottom-right), so
// that any turn or mirror shows even after JPEG compression.
inline std::string QuadrantFile(const TempDir& dir, const std::string& name, int width,
                                int height) {
  Bitmap image(FreeImage_Allocate(width, height, 24, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                  FI_RGBA_BLUE_MASK));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      const bool right = x >= width / 2, bottom = y >= height / 2;
      const Rgb color = !bottom ? (right ? Rgb{0, 255, 0} : Rgb{255, 0, 0})
                                : (right ? Rgb{255, 255, 255} : Rgb{0, 0, 255});
      SetPixel(image.get(), x, y, color);
    }
  }
  return SavedJpeg(image.get(), dir.File(name), 100);
}

inline bool Near(Rgb a, Rgb b) {
  return MaxChannelDifference(a, b) < 60;
}

inline std::string FileBytes(const std::string& path) {
  std::string bytes;
  ReadFileBounded(path, 1LL << 30, &bytes);
  return bytes;
}

inline PixelSize FileImageSize(const std::string& path) {
  PixelSize size;
  ReadImageSize(path, &size);
  return size;
}

// The user's temporary folder of a test: cache and upload folders below `dir`.
inline PreparationSettings TestSettings(const TempDir& dir, int albumID = 7) {
  PreparationSettings settings;
  settings.tempFolder = dir.Path() + "tmp/";
  settings.albumID = albumID;
  return settings;
}

// A plain template: an opaque orange block.
inline SharedBitmap OrangeTemplate(int width, int height) {
  Bitmap image(FreeImage_Allocate(width, height, 24, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                  FI_RGBA_BLUE_MASK));
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) SetPixel(image.get(), x, y, {255, 128, 0});
  }
  return ShareBitmap(std::move(image));
}

}  // namespace zerva::test
