#include "media/make_image.h"

#include <FreeImage.h>
#include <unistd.h>

#include <mutex>

#include "app/text_utils.h"
#include "media/file_copy.h"
#include "media/image_fit.h"
#include "media/image_load.h"
#include "media/image_metadata.h"
#include "media/image_rotate.h"
#include "media/image_save.h"
#include "media/item_image.h"
#include "media/jpeg_fit_load.h"
#include "media/make_thumb.h"
#include "media/prepared_cache.h"
#include "media/watermark.h"
#include "model/file_times.h"
#include "model/jpeg_orientation.h"
#include "model/photo.h"
#include "model/text_compare.h"
#include "platform/fs.h"

namespace zerva {
namespace {

// What a run found out, given to the item only when the whole run succeeded.
struct Made {
  PixelSize image, thumb, hd;
  bool hdMade = false;
  bool patchMade = false;
  bool notHd = false;  // the source fits the album resolution: no HD image is sent
};

// What the run needs of the item, read once under its lock.
struct ItemState {
  bool isVideo = false;
  bool isHdPhoto = false;
  bool hasWatermark = false;
  int rotate = 0;
  int imageFormat = -1;
  int orientation = 0;
  Bitmap quickImage;
  bool patchInMemory = false;
  std::string cachedImage, cachedThumb, cachedPatch;
  PixelSize cachedImageSize, cachedThumbSize;
};

ItemState ReadItem(CPhoto& item) {
  ItemState state;
  std::lock_guard<std::mutex> lock(item.lock);
  state.isVideo = item.isVideo;
  state.isHdPhoto = item.isHdPhoto;
  state.hasWatermark = item.hasWatermark;
  state.rotate = item.rotate;
  state.imageFormat = item.imageFormat;
  state.orientation = item.exifInfo.orientation;
  state.quickImage = CopyOfItemImage(item.quickImage);
  state.patchInMemory = item.patch != nullptr;
  state.cachedImage = item.preparedImagePath;
  state.cachedThumb = item.preparedThumbPath;
  state.cachedPatch = item.preparedPatchPath;
  state.cachedImageSize = {item.prepared.preparedImageWidth, item.prepared.preparedImageHeight};
  state.cachedThumbSize = {item.prepared.preparedThumbWidth, item.prepared.preparedThumbHeight};
  return state;
}

bool HasJpegName(const std::string& path) {
  const std::string extension = FileExtension(path);
  return EqualsNoCase(extension, ".jpg") || EqualsNoCase(extension, ".jpeg") ||
         EqualsNoCase(extension, ".jpe");
}

// The service takes JPEG files only: the original may be sent in place of a prepared file only
// when its name and its content, read now, both say JPEG. A PNG saved as ".jpg" is not one.
bool OriginalIsJpeg(const std::string& path) {
  return HasJpegName(path) && ImageFormatOfFile(path) == kFormatJpeg;
}

bool Fits(PixelSize size, int limit) {
  return size.width > 0 && size.height > 0 && size.width <= limit && size.height <= limit;
}

// The error of a run stopped by its cancel flag, as transfers name theirs.
constexpr const char* kCancelledText = "cancelled by user";

void RemoveFile(const std::string& path) {
  if (!path.empty()) ::unlink(path.c_str());
}

class Run {
 public:
  Run(CPhoto& item, const MakeImageInputs& in, const PreparationSettings& settings,
      const ProgressSink& progress, const std::atomic<bool>* cancel, std::string* error)
      : item_(item),
        in_(in),
        settings_(settings),
        progress_(progress),
        cancel_(cancel),
        error_(error) {}

  bool Go() {
    if (!Step(0.0)) return Fail(kCancelledText);
    {
      std::lock_guard<std::mutex> lock(item_.lock);
      item_.OriginalCode = FileModificationTime(in_.sourcePath);
    }
    state_ = ReadItem(item_);
    for (const std::string* path : {&in_.imagePath, &in_.thumbPath, &in_.hdPath, &in_.patchPath}) {
      if (!path->empty()) CreateDirectoryPath(FolderOfPath(*path), nullptr, 0700);
    }
    bool ok = false;
    if (state_.isVideo) {
      ok = MakeVideo();
    } else {
      if (!WatermarkFor(settings_, state_.hasWatermark, &templ_, error_)) return false;
      ok = CanReuse() ? Reuse() : Prepare();
    }
    if (!ok) return false;
    Record();
    Step(1.0);
    return true;
  }

 private:
  // Reports the progress; false once the run is to stop, so a cancelled upload does not wait
  // for the rest of a large picture.
  bool Step(double fraction) {
    if (progress_) progress_(fraction);
    return cancel_ == nullptr || !cancel_->load();
  }

  bool Fail(const std::string& text) {
    if (error_ != nullptr && !text.empty()) *error_ = text;
    return false;
  }

  // The cache was made at this size and rotation from the file as it is, and its watermark
  // state matches what is asked now.
  bool CanReuse() const {
    if (state_.isHdPhoto || !HasJpegName(in_.sourcePath) || state_.imageFormat != kFormatJpeg ||
        !IsPreparedValid(item_, in_.sizeImage)) {
      return false;
    }
    const bool cachedPatch = state_.patchInMemory || FileExists(state_.cachedPatch);
    return cachedPatch == (templ_ != nullptr);
  }

  bool Reuse() {
    if (!Step(0.1)) return Fail(kCancelledText);
    PixelSize source;
    ReadImageSize(in_.sourcePath, &source);
    const int64_t sourceBytes = FileSize(in_.sourcePath);
    const int64_t cachedBytes = FileSize(state_.cachedImage);
    std::string error;
    // The item's format was typed when it was added; the file may have been replaced since.
    if (state_.rotate == 0 && Fits(source, in_.sizeImage) &&
        (in_.useOriginal || (sourceBytes > 0 && cachedBytes > 0 && sourceBytes <= cachedBytes)) &&
        OriginalIsJpeg(in_.sourcePath)) {
      // The original is as small as the prepared copy and needs no turn: it goes as it is.
      if (!CopyFileReplacing(in_.sourcePath, in_.imagePath, &error) || !WatermarkOutput()) {
        return Fail(error);
      }
      if (state_.orientation > 1) ResetOrientation(in_.imagePath);
    } else {
      if (!CopyFileReplacing(state_.cachedImage, in_.imagePath, &error)) return Fail(error);
      if (templ_ != nullptr && !CopyCachedPatch(&error)) return Fail(error);
    }
    made_.patchMade = templ_ != nullptr;
    if (!Step(0.5)) return Fail(kCancelledText);
    if (!CopyFileReplacing(state_.cachedThumb, in_.thumbPath, &error)) return Fail(error);
    if (!Step(0.9)) return Fail(kCancelledText);
    made_.image = state_.cachedImageSize;
    made_.thumb = state_.cachedThumbSize;
    return true;
  }

  bool CopyCachedPatch(std::string* error) {
    Bitmap patch;
    {
      std::lock_guard<std::mutex> lock(item_.lock);
      patch = CopyOfItemImage(item_.patch);
    }
    if (patch != nullptr) {
      return SaveJpeg(patch.get(), in_.patchPath, settings_.photoQuality, error);
    }
    return CopyFileReplacing(state_.cachedPatch, in_.patchPath, error);
  }

  // Watermarks the image output in place and writes the patch, when a watermark applies.
  bool WatermarkOutput() {
    if (templ_ == nullptr) return true;
    std::string error;
    if (!WatermarkFile(in_.imagePath, JPEG_ACCURATE, settings_.photoQuality, in_.patchPath,
                       templ_.get(), &error)) {
      return Fail(error);
    }
    made_.patchMade = true;
    return true;
  }

  bool Prepare() {
    bool hd = state_.isHdPhoto;
    PixelSize source;
    std::string error;
    Bitmap image = LoadForFit(in_.sourcePath, hd ? in_.sizeHd : in_.sizeImage, &source, &error);
    if (image == nullptr) return Fail(error);
    const bool fits = Fits(source, in_.sizeImage);
    // The original may stand in for a re-encoded file only when it is a JPEG needing no turn
    // and no reduction: anything else would send other pixels than the sizes recorded, or a
    // file the service cannot show.
    const bool originalUsable = state_.rotate == 0 && OriginalIsJpeg(in_.sourcePath);
    bool useOriginal = false;
    if (fits) {
      hd = false;
      made_.notHd = true;
      useOriginal = in_.useOriginal && originalUsable;
    }
    const int64_t sourceBytes = FileSize(in_.sourcePath);

    if (!Step(0.1)) return Fail(kCancelledText);
    const PixelSize target =
        FitToLongSide(source.width, source.height, hd ? in_.sizeHd : in_.sizeImage);
    if (BitmapSize(image.get()) != target) {
      Bitmap fitted = Rescaled(image.get(), target, ResampleFilter::kLanczos3);
      if (fitted == nullptr) return Fail("MakeImage " + in_.sourcePath + ": rescaling failed");
      image = std::move(fitted);
    }
    if (!RotateByCode(image, state_.rotate)) {
      return Fail("MakeImage " + in_.sourcePath + ": the picture cannot be turned");
    }
    if (state_.quickImage != nullptr) {
      ReplaceEmbeddedThumbnail(image.get(), state_.quickImage.get());
    }
    if (!Step(0.2)) return Fail(kCancelledText);

    if (hd) {
      if (!SaveJpeg(image.get(), in_.hdPath, settings_.hdQuality, &error)) return Fail(error);
      made_.hdMade = true;
      made_.hd = BitmapSize(image.get());
      if (!Step(0.3)) return Fail(kCancelledText);
      if (!FitBitmap(image, in_.sizeImage, ResampleFilter::kLanczos3)) {
        return Fail("MakeImage " + in_.sourcePath + ": rescaling failed");
      }
      if (originalUsable && Fits(source, in_.sizeHd) && FileSize(in_.hdPath) > sourceBytes) {
        if (!CopyFileReplacing(in_.sourcePath, in_.hdPath, &error)) return Fail(error);
        made_.hd = source;
      }
      if (state_.orientation > 1) ResetOrientation(in_.hdPath);
    }

    if (!Step(0.4)) return Fail(kCancelledText);
    if (!useOriginal && !SaveJpeg(image.get(), in_.imagePath, settings_.photoQuality, &error)) {
      return Fail(error);
    }
    if (useOriginal || (originalUsable && fits && FileSize(in_.imagePath) > sourceBytes)) {
      if (!CopyFileReplacing(in_.sourcePath, in_.imagePath, &error)) return Fail(error);
    }
    if (!WatermarkOutput()) return false;
    if (state_.orientation > 1) ResetOrientation(in_.imagePath);

    if (!Step(0.6)) return Fail(kCancelledText);
    const Bitmap thumbnail = MakeThumbnail(image.get(), in_.sizeThumb);
    if (thumbnail == nullptr) return Fail("MakeImage " + in_.sourcePath + ": no thumbnail");
    if (!Step(0.8)) return Fail(kCancelledText);
    if (!SaveJpeg(thumbnail.get(), in_.thumbPath, settings_.thumbQuality, &error)) {
      return Fail(error);
    }
    made_.image = BitmapSize(image.get());
    made_.thumb = BitmapSize(thumbnail.get());
    return true;
  }

  bool MakeVideo() {
    bool haveImages = false;
    {
      std::lock_guard<std::mutex> lock(item_.lock);
      haveImages = item_.preparedImage != nullptr && item_.thumbnail != nullptr;
    }
    if (!haveImages || !FileExists(in_.imagePath) || !FileExists(in_.thumbPath)) {
      if (!MakeThumb(item_, settings_, in_.sizeThumb, in_.sizeImage, true, true, false)) {
        return Fail("MakeImage " + in_.sourcePath + ": no video frame");
      }
    }
    std::lock_guard<std::mutex> lock(item_.lock);
    made_.image = {item_.width, item_.height};
    made_.thumb = {item_.thumbWidth, item_.thumbHeight};
    made_.patchMade = item_.hasWatermark && item_.patch != nullptr;
    return true;
  }

  void Record() {
    if (!made_.patchMade) RemoveFile(in_.patchPath);
    if (!made_.hdMade) RemoveFile(in_.hdPath);
    auto size = [](const std::string& path) {
      const int64_t bytes = path.empty() ? 0 : FileSize(path);
      return bytes > 0 ? bytes : 0;
    };
    CPhoto& item = item_;
    // The list draws these fields on the user-interface thread meanwhile.
    std::lock_guard<std::mutex> lock(item.lock);
    item.width = made_.image.width;
    item.height = made_.image.height;
    item.thumbWidth = made_.thumb.width;
    item.thumbHeight = made_.thumb.height;
    if (made_.hdMade) {
      item.hdwidth = made_.hd.width;
      item.hdheight = made_.hd.height;
    }
    // A photo that fits the album resolution has no HD image; the service must not expect one.
    if (made_.notHd) item.isHdPhoto = false;
    item.thumbSize = size(in_.thumbPath);
    item.imageSize = size(in_.imagePath);
    item.hdSize = made_.hdMade ? size(in_.hdPath) : 0;
    item.patchSize = made_.patchMade ? size(in_.patchPath) : 0;
    item.SumFileSizes();
    item.fileSizeOriginal = size(in_.sourcePath);
  }

  CPhoto& item_;
  const MakeImageInputs& in_;
  const PreparationSettings& settings_;
  const ProgressSink& progress_;
  const std::atomic<bool>* cancel_;
  std::string* error_;
  ItemState state_;
  SharedBitmap templ_;
  Made made_;
};

}  // namespace

bool MakeImageFiles(CPhoto& item, const MakeImageInputs& inputs,
                    const PreparationSettings& settings, const ProgressSink& progress,
                    std::string* error, const std::atomic<bool>* cancel) {
  return Run(item, inputs, settings, progress, cancel, error).Go();
}

}  // namespace zerva
