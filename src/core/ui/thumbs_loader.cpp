#include "ui/thumbs_loader.h"

#include <algorithm>
#include <mutex>
#include <unordered_set>

#include "app/dialogs.h"
#include "app/trace.h"
#include "media/advance_preparation.h"
#include "media/image_fit.h"
#include "media/image_load.h"
#include "media/image_rotate.h"
#include "media/item_download.h"
#include "media/item_image.h"
#include "media/make_thumb.h"
#include "media/prepared_cache.h"
#include "media/standard_bitmap.h"
#include "media/watermark.h"
#include "model/album.h"
#include "model/photo.h"
#include "net/http_connect.h"
#include "net/http_mngr.h"
#include "ui/preview_cache.h"

namespace zerva {
namespace {

// Items the advance preparation takes at a time: between batches the queue is served, so an
// item the user looks at does not wait for the whole album.
constexpr size_t kPreparationBatchPerThread = 2;

class PostingDialogs final : public Dialogs {
 public:
  explicit PostingDialogs(MessageTarget* window) : window_(window) {}
  Reply ShowMessage(const std::string& text, MessageKind kind, MessageButtons) override {
    if (window_ != nullptr) {
      window_->Post({kMsgThumbsWarning, static_cast<MessageParam>(kind), 0,
                     std::make_shared<std::string>(text)});
    }
    return Reply::kOk;
  }
  void ShowWait(const std::string&, const std::string&) override {}
  void HideWait() override {}
  std::optional<std::string> PickFolder(const std::string&, const std::string&) override {
    return std::nullopt;
  }
  std::vector<std::string> PickFiles(const std::string&, const std::string&,
                                     const std::string&) override {
    return {};
  }
  bool AskProxyCredentials(std::string*, std::string*) override { return false; }

 private:
  MessageTarget* window_;
};

// What the loader decides on, read under the item's lock.
struct ItemState {
  bool included = false;
  bool isVideo = false;
  bool local = false;  // the local file is there
  bool hasQuick = false;
  bool hasThumbnail = false;
  bool hasPrepared = false;
  bool thumbFailed = false;
  int photoID = -1;
  int quarterTurns = 0;  // still to make on the service's copy
  bool hasWatermark = false;
  bool savedHasWatermark = false;
};

ItemState StateOf(const CPhoto& item) {
  std::lock_guard<std::mutex> lock(item.lock);
  ItemState state;
  state.included = item.included;
  state.isVideo = item.isVideo;
  state.local = item.HasLocalFile();
  state.hasQuick = item.quickImage != nullptr;
  state.hasThumbnail = item.thumbnail != nullptr;
  state.hasPrepared = item.preparedImage != nullptr;
  state.thumbFailed = item.thumbFailed;
  state.photoID = item.photoID;
  state.quarterTurns = item.PendingQuarterTurns();
  state.hasWatermark = item.hasWatermark;
  state.savedHasWatermark = item.savedHasWatermark;
  return state;
}

// A picture fetched from the service, as a standard bitmap; empty when it cannot be read.
Bitmap LoadFetched(const std::string& path) {
  std::string error;
  Bitmap image = LoadImageFile(path, LoadPurpose::kPreview, &error);
  if (image == nullptr || !MakeStandardBitmap(image)) {
    TraceText(kTraceWarning, "ThumbsList: " + (error.empty() ? path : error));
    return {};
  }
  return image;
}

// Adopting a valid cache gives the item its files, not their pixels: an item the photo detail
// page shows gets its large picture read back from the prepared image file.
void LoadPreparedPicture(CPhoto& item) {
  std::string path;
  {
    std::lock_guard<std::mutex> lock(item.lock);
    if (item.preparedImage != nullptr) return;
    path = item.preparedImagePath;
  }
  if (path.empty()) return;
  Bitmap image = LoadFetched(path);
  if (image == nullptr) return;
  std::lock_guard<std::mutex> lock(item.lock);
  if (item.preparedImage == nullptr) item.preparedImage = ToItemImage(std::move(image));
}

}  // namespace

std::unique_ptr<Dialogs> MakePostingDialogs(MessageTarget* window) {
  return std::make_unique<PostingDialogs>(window);
}

ThumbsLoader::~ThumbsLoader() {
  if (connection_) job_.connections->ReleaseConnection(connection_);
}

void ThumbsLoader::Run() {
  if (QuickPictures()) {
    if (job_.postDates) Post(job_.owner, kMsgThumb1084, 1, 0);
    if ((!job_.thumbnails || Thumbnails()) && CanWriteFiles()) PrepareInAdvance();
  }
  if (connection_) job_.connections->ReleaseConnection(connection_);
}

CHttpConnect* ThumbsLoader::Connection() {
  // Taken when the service is first asked: a new album never needs it.
  if (!connection_ && job_.connections) connection_ = job_.connections->GetConnection();
  return connection_.get();
}

bool ThumbsLoader::QuickPictures() {
  for (size_t position = 0; position < job_.items.size(); ++position) {
    if (!job_.shouldContinue()) return false;
    CPhoto& item = *job_.items[position];
    const ItemState state = StateOf(item);
    if (state.local && !state.isVideo && !state.hasQuick && !state.hasThumbnail) {
      ReadExif(item, 2 * job_.sizeThumb, job_.resolution, job_.applyTexts, job_.exifUse);
      const ItemState now = StateOf(item);
      if (now.hasQuick || now.hasThumbnail) {
        Post(job_.window, kMsgThumb1081, 0, static_cast<MessageParam>(position));
      }
    }
    if (!ServeQueue()) return false;
  }
  return true;
}

bool ThumbsLoader::Thumbnails() {
  for (size_t position = 0; position < job_.items.size(); ++position) {
    if (!job_.shouldContinue()) return false;
    CPhoto& item = *job_.items[position];
    const ItemState state = StateOf(item);
    if (!state.hasThumbnail && !state.thumbFailed) {
      LoadItem(item, static_cast<int>(position), WantsBig(&item));
    }
    if (!ServeQueue()) return false;
  }
  return true;
}

void ThumbsLoader::PrepareInAdvance() {
  if (job_.album == nullptr) return;
  AdvancePreparationOptions options;
  options.resolution = job_.resolution;
  options.sizeThumb = job_.settings.sizeThumb;
  options.threads = job_.preparationThreads;
  // A turn the user made stays: the preparation lets the EXIF orientation decide only the
  // rotation of items nobody turned.
  options.newAlbum = job_.applyTexts;
  const size_t batch = kPreparationBatchPerThread *
                       static_cast<size_t>(PreparationThreads(job_.preparationThreads, 1 << 20));
  for (size_t start = 0; start < job_.items.size(); start += batch) {
    if (!ServeQueue()) return;
    const size_t end = std::min(job_.items.size(), start + batch);
    const std::unordered_set<const CPhoto*> chunk(job_.items.begin() + start,
                                                  job_.items.begin() + end);
    // An item the photo detail page shows keeps its large picture, which the preparation would
    // free; its loading saved the cache already.
    options.onlyIf = [&](const CPhoto& item) {
      return chunk.count(&item) != 0 && (!job_.prepareOnly || job_.prepareOnly(item)) &&
             !WantsBig(&item);
    };
    zerva::PrepareInAdvance(*job_.album, job_.settings, options, job_.cancel);
  }
}

bool ThumbsLoader::ServeQueue() {
  while (job_.shouldContinue()) {
    CPhoto* item = job_.takeQueued();
    if (item == nullptr) return true;
    const int position = PositionOf(item);
    if (position < 0) continue;  // not an item of this run
    const ItemState state = StateOf(*item);
    // An item that failed is not tried again while its record lives.
    if (state.thumbFailed) continue;
    const bool wantBig = WantsBig(item);
    if (state.hasThumbnail && (!wantBig || state.hasPrepared)) continue;
    LoadItem(*item, position, wantBig);
  }
  return false;
}

void ThumbsLoader::LoadItem(CPhoto& item, int position, bool wantBig) {
  const int sizeThumb = 2 * job_.sizeThumb;
  ItemState state = StateOf(item);
  bool triedLocal = false;
  if (!state.isVideo && state.local) {
    if (IsPreparedValid(item, job_.resolution)) {
      FindPrepared(item, job_.settings, job_.resolution);
      if (wantBig) LoadPreparedPicture(item);
    } else {
      MakeThumb(item, job_.settings, sizeThumb, job_.resolution, job_.applyTexts,
                wantBig && !state.hasPrepared, true);
      // A photo that cannot be read is reported once, not by every step.
      triedLocal = true;
      if (wantBig && StateOf(item).hasPrepared && CanWriteFiles()) {
        SavePrepared(item, job_.settings, job_.resolution, false);
      }
    }
  }

  state = StateOf(item);
  // What the service holds is fetched only for an existing album, and only for items it knows.
  const bool fromService =
      state.included && !job_.applyTexts && state.photoID > 0 && CanWriteFiles();
  if (fromService && !state.hasThumbnail) FetchServerThumbnail(item);
  if (fromService && !state.local && wantBig && !state.hasPrepared) {
    job_.setBusy(&item);
    FetchServerImage(item);
    job_.setBusy(nullptr);
  }

  state = StateOf(item);
  if ((!state.hasThumbnail || wantBig) && !state.thumbFailed) {
    if (!state.isVideo && wantBig && state.hasThumbnail && IsPreparedValid(item, job_.resolution)) {
      FindPrepared(item, job_.settings, job_.resolution);
      LoadPreparedPicture(item);
    } else if (state.local && !triedLocal && (!state.isVideo || CanWriteFiles())) {
      // A video's frame files are written as they are made.
      MakeThumb(item, job_.settings, sizeThumb,
                state.isVideo ? job_.videoResolution : job_.resolution, job_.applyTexts, false,
                true);
      if (!state.isVideo && wantBig && StateOf(item).hasPrepared && CanWriteFiles()) {
        SavePrepared(item, job_.settings, job_.resolution, false);
      }
    }
  }

  if (StateOf(item).hasThumbnail) {
    Post(job_.window, kMsgThumb1081, 0, position);
    return;
  }
  // A stop may have cut a transfer short: that is no reason to give the item up for good.
  if (!job_.shouldContinue()) return;
  std::lock_guard<std::mutex> lock(item.lock);
  item.thumbFailed = true;
}

bool ThumbsLoader::FetchServerThumbnail(CPhoto& item) {
  CHttpConnect* connection = Connection();
  if (connection == nullptr) return false;
  const std::string path = UploadFilePath(job_.settings.tempFolder, kThumbDir, item.fileName);
  const ApiResult got =
      DownloadItemFile(*connection, item, job_.albumUrl, kThumbDir, path, 0.0, 1.0, job_.cancel);
  if (!got.Ok()) {
    TraceText(kTraceWarning, "ThumbsList: the thumbnail of " + item.fileName +
                                 " could not be fetched: " + got.message);
    return false;
  }
  Bitmap image = LoadFetched(path);
  // The service's copy still has the turn it was sent with; show the item as it will be.
  const int quarters = StateOf(item).quarterTurns;
  if (image == nullptr || (quarters != 0 && !RotateByCode(image, quarters))) return false;
  Bitmap thumbnail = MakeThumbnail(image.get(), 2 * job_.sizeThumb);
  if (thumbnail == nullptr) return false;
  const PixelSize size = BitmapSize(thumbnail.get());
  std::lock_guard<std::mutex> lock(item.lock);
  if (item.thumbnail != nullptr) return true;
  item.thumbnail = ToItemImage(std::move(thumbnail));
  item.thumbWidth = size.width;
  item.thumbHeight = size.height;
  return true;
}

void ThumbsLoader::FetchServerImage(CPhoto& item) {
  CHttpConnect* connection = Connection();
  if (connection == nullptr) return;
  const ItemState state = StateOf(item);
  if (state.savedHasWatermark) {
    DownloadPatch(item, *connection, job_.user, job_.settings.tempFolder);
  }
  const std::string path = UploadFilePath(job_.settings.tempFolder, kImagesDir, item.fileName);
  const ApiResult got =
      DownloadItemFile(*connection, item, job_.albumUrl, kImagesDir, path, 0.0, 1.0, job_.cancel);
  if (!got.Ok()) {
    TraceText(kTraceWarning, "ThumbsList: the image of " + item.fileName +
                                 " could not be fetched: " + got.message);
    return;
  }
  Bitmap image = LoadFetched(path);
  if (image == nullptr) return;
  bool unmarked = !state.savedHasWatermark;
  if (state.savedHasWatermark) {
    Bitmap patch;
    {
      std::lock_guard<std::mutex> lock(item.lock);
      patch = CopyOfItemImage(item.patch);
    }
    unmarked = RemoveWatermark(image.get(), patch.get());
  }
  if (state.quarterTurns != 0 && !RotateByCode(image, state.quarterTurns)) return;
  // A picture that still carries the service's mark is not marked a second time.
  if (state.hasWatermark && unmarked) {
    SharedBitmap templ;
    std::string error;
    if (!WatermarkFor(job_.settings, true, &templ, &error)) {
      TraceText(kTraceWarning, "ThumbsList " + item.fileName + ": " + error);
      return;
    }
    if (templ != nullptr && !WatermarkImage(image, templ.get(), nullptr)) return;
  }
  const PixelSize size = BitmapSize(image.get());
  std::lock_guard<std::mutex> lock(item.lock);
  item.preparedImage = ToItemImage(std::move(image));
  item.width = size.width;
  item.height = size.height;
}

int ThumbsLoader::PositionOf(const CPhoto* item) const {
  const auto found = std::find(job_.items.begin(), job_.items.end(), item);
  return found == job_.items.end() ? -1 : static_cast<int>(found - job_.items.begin());
}

bool ThumbsLoader::CanWriteFiles() const {
  return !job_.settings.tempFolder.empty();
}

bool ThumbsLoader::WantsBig(const CPhoto* item) const {
  return job_.previews != nullptr && job_.previews->WantsLarge(item);
}

void ThumbsLoader::Post(MessageTarget* target, unsigned message, MessageParam wParam,
                        MessageParam lParam) {
  if (target != nullptr) target->Post({message, wParam, lParam, nullptr});
}

}  // namespace zerva
