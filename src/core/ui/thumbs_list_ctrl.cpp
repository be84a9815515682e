#include "ui/thumbs_list_ctrl.h"

#include <algorithm>
#include <mutex>

#include "app/dialogs.h"
#include "app/trace.h"
#include "category/album_categories.h"
#include "lang/text.h"
#include "media/preparation_settings.h"
#include "media/watermark_template.h"
#include "model/album.h"
#include "ui/thumbs_loader.h"
#include "ui/upload_jobs.h"
#include "ui/zerva_app.h"

namespace zerva {
namespace {

// The zoom of a fresh fill: the more items, the smaller the tiles.
int ZoomForItemCount(int count) {
  if (count > 64) return 60;
  if (count > 32) return 80;
  if (count > 16) return 100;
  if (count > 8) return 120;
  return 140;
}

// Room around the picture of a tile for its name and icons.
constexpr int kTileMargin = 45;

}  // namespace

CThumbsListCtrl::CThumbsListCtrl(CzervaApp& app, ThumbsListView* view,
                                 std::shared_ptr<MessageTarget> owner, ThumbsLoaderOptions options)
    : CTarvikThread([this](const std::shared_ptr<void>&) { LoaderMain(); }, "ThumbsList"),
      app_(app),
      view_(view),
      owner_(std::move(owner)),
      options_(std::move(options)),
      alive_(std::make_shared<bool>(true)) {
  // While it waits for its loader, the list delivers the user-interface thread's messages.
  SetUiThread(&app_.AppUiThread());
  window_ = app_.AppUiThread().MakeWindow(
      [this, alive = alive_](const WindowMessage& message) -> MessageParam {
        return *alive ? OnListMessage(message) : 0;
      });
  loaderDialogs_ = MakePostingDialogs(window_.get());
  if (view_ != nullptr) view_->SetEvents(this);
}

CThumbsListCtrl::~CThumbsListCtrl() {
  if (view_ != nullptr) view_->SetEvents(nullptr);
  *alive_ = false;
  // The loader works on items the list does not own, and with the list's own members: however
  // long it takes, it must have returned before they go. It checks its stop between items and
  // its image work polls the same request, so this is short in practice.
  while (IsRunning()) {
    if (!StopAndWait(kThumbsLoaderStopWait)) {
      TraceText(kTraceWarning, "ThumbsList: still waiting for the loader to return");
    } else if (IsRunning()) {
      (void)WaitWhileRunning(kThumbsLoaderStopWait);  // the loop asks again
    }
  }
  std::lock_guard<std::recursive_mutex> lock(lock_);
  loadQueue_.clear();
  album_ = nullptr;
}

void CThumbsListCtrl::Fill(CAlbum* album, bool fresh) {
  // A run never starts again on the items it was made for.
  if (!IsRunning()) job_.reset();
  album_ = album;
  const int count = album_ != nullptr ? static_cast<int>(album_->items.size()) : 0;
  if (fresh) zoomPercent_ = ZoomForItemCount(count);
  const int base = album_ != nullptr && album_->maxSizeThumb >= 1 ? album_->maxSizeThumb
                                                                  : app_.Params().SizeThumb;
  thumbSize_ = base * zoomPercent_ / 100;
  if (view_ != nullptr) {
    view_->SetTileSize(thumbSize_, thumbSize_ + kTileMargin);
    view_->SetTileCount(count);
  }
  RecomputeCover(true);
}

bool CThumbsListCtrl::ClearList() {
  const bool stopped = StopLoader();
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    loadQueue_.clear();
  }
  if (stopped) job_.reset();
  if (!stopped) {
    Trace(kTraceWarning, 0, "ThumbsList: the loader did not stop within %lld s\n",
          static_cast<long long>(kThumbsLoaderStopWait.count()));
  }
  return stopped;
}

int CThumbsListCtrl::RecomputeCover(bool pick) {
  coverIndex_ = -1;
  if (album_ == nullptr) return coverIndex_;
  const auto& items = album_->items;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i]->included && items[i]->fileName == album_->thumbName) {
      coverIndex_ = static_cast<int>(i);
      return coverIndex_;
    }
  }
  if (!pick) return coverIndex_;
  for (size_t i = 0; i < items.size(); ++i) {
    if (items[i]->included) {
      coverIndex_ = static_cast<int>(i);
      album_->thumbName = items[i]->fileName;
      return coverIndex_;
    }
  }
  album_->thumbName.clear();
  return coverIndex_;
}

void CThumbsListCtrl::Enqueue(CPhoto* item) {
  if (item == nullptr || album_ == nullptr) return;
  {
    std::lock_guard<std::mutex> lock(item->lock);
    if (item->thumbnail != nullptr || item->thumbFailed) return;
  }
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    if (std::find(loadQueue_.begin(), loadQueue_.end(), item) == loadQueue_.end()) {
      loadQueue_.push_back(item);
    }
  }
  // Also for an item queued already: a loader that was stopped left it waiting.
  if (!IsRunning()) StartLoader();
}

void CThumbsListCtrl::Prioritise(CPhoto* item) {
  if (item == nullptr || album_ == nullptr) return;
  const bool wantBig = app_.Previews().WantsLarge(item);
  {
    std::lock_guard<std::mutex> lock(item->lock);
    // An item that failed is not tried again while its record lives.
    if (item->thumbFailed) return;
    if (item->thumbnail != nullptr && (!wantBig || item->preparedImage != nullptr)) return;
  }
  {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    if (busy_ == item) return;
    const auto found = std::find(loadQueue_.begin(), loadQueue_.end(), item);
    if (found != loadQueue_.end()) loadQueue_.erase(found);
    // The item the photo detail page shows keeps the first place.
    const CPhoto* shown = app_.Previews().Shown();
    if (!loadQueue_.empty() && shown != nullptr && loadQueue_.front() == shown) {
      loadQueue_.insert(loadQueue_.begin() + 1, item);
    } else {
      loadQueue_.push_front(item);
    }
  }
  if (!IsRunning()) StartLoader();
}

bool CThumbsListCtrl::StartLoader() {
  if (album_ == nullptr || album_->items.empty()) return false;
  if (IsRunning()) return true;
  // A stop under way further up this thread must find the loader stopped when it returns.
  if (stopping_) return false;
  job_ = MakeLoaderJob();
  return Start();
}

bool CThumbsListCtrl::WaitForLoader(std::chrono::milliseconds wait) {
  const bool done = WaitWhileRunning(wait);
  // What the loader posted last is delivered too.
  app_.AppUiThread().PumpWaiting();
  return done;
}

void CThumbsListCtrl::Refresh() {
  // The editor changes the items' inclusion too (its select menu).
  RecomputeCover(true);
  if (view_ != nullptr) view_->RedrawAll();
}

void CThumbsListCtrl::SetZoom(int percent) {
  percent = std::clamp(percent, kMinZoomPercent, kMaxZoomPercent);
  if (percent == zoomPercent_) return;
  zoomPercent_ = percent;
  const int selected = CurrentPosition();
  // Only the tiles change size: a loader that does not stop in time does no harm to them.
  (void)ClearList();
  Fill(album_, false);
  if (view_ != nullptr && selected >= 0) {
    view_->SetCurrentPosition(selected);
    view_->EnsureVisible(selected);
  }
  if (view_ != nullptr) view_->RedrawAll();
  StartLoader();
}

int CThumbsListCtrl::CurrentPosition() const {
  return view_ != nullptr ? view_->CurrentPosition() : -1;
}

void CThumbsListCtrl::SetCurrentPosition(int position) {
  if (view_ != nullptr) view_->SetCurrentPosition(position);
}

CPhoto* CThumbsListCtrl::ItemAt(int position) const {
  if (album_ == nullptr || position < 0 || static_cast<size_t>(position) >= album_->items.size()) {
    return nullptr;
  }
  return album_->items[static_cast<size_t>(position)].get();
}

TileInfo CThumbsListCtrl::Tile(int position) {
  TileInfo tile;
  CPhoto* item = ItemAt(position);
  if (item == nullptr) return tile;
  bool hasThumbnail = false;
  bool failed = false;
  {
    // The loader replaces pictures, never changes one in place: the shared picture may be
    // drawn after the lock is gone.
    std::lock_guard<std::mutex> lock(item->lock);
    hasThumbnail = item->thumbnail != nullptr;
    failed = item->thumbFailed;
    tile.image = hasThumbnail ? item->thumbnail : item->quickImage;
    tile.name = item->name;
    tile.included = item->included;
  }
  if (!hasThumbnail) tile.stateText = failed ? Text("msgError") : Text("msgWait");
  tile.frameRgb = item->needsUpload || item->edited ? kTileFrameChanged : kTileFrameNormal;
  tile.isCover = position == coverIndex_;
  tile.isVideo = item->isVideo;
  tile.canTurn = CanTurn(*item);
  tile.canPlay = CanPlay(*item);
  if (!hasThumbnail) Enqueue(item);
  return tile;
}

std::string CThumbsListCtrl::TileTooltip(int position, TileIcon icon) {
  const CPhoto* item = ItemAt(position);
  if (item == nullptr) return {};
  switch (icon) {
    case TileIcon::kTurnLeft:
      return Text("rotateLeft");
    case TileIcon::kTurnRight:
      return Text("rotateRight");
    case TileIcon::kCover:
      return Text("setAsDefault");
    case TileIcon::kPlay:
      return Text("msgPlayVideo");
    case TileIcon::kInclude:
      if (item->included) return item->isVideo ? Text("includedVideo") : Text("includedPhoto");
      return item->isVideo ? Text("excludedVideo") : Text("excludedPhoto");
    case TileIcon::kNone:
      break;
  }
  return {};
}

void CThumbsListCtrl::OnTileClicked(int position, TileIcon icon) {
  switch (icon) {
    case TileIcon::kTurnLeft:
      Execute(ThumbCommand::kTurnLeft, position);
      break;
    case TileIcon::kTurnRight:
      Execute(ThumbCommand::kTurnRight, position);
      break;
    case TileIcon::kInclude:
      Execute(ThumbCommand::kToggleInclude, position);
      break;
    case TileIcon::kCover:
      if (position != coverIndex_) Execute(ThumbCommand::kSetCover, position);
      break;
    case TileIcon::kPlay:
      Execute(ThumbCommand::kPlayVideo, position);
      break;
    case TileIcon::kNone:
      break;  // the click only selects
  }
}

void CThumbsListCtrl::OnTileDoubleClicked(int position, TileIcon icon) {
  if (icon == TileIcon::kNone) Execute(ThumbCommand::kOpen, position);
}

void CThumbsListCtrl::OnCurrentChanged(int position) {
  Prioritise(ItemAt(position));
}

void CThumbsListCtrl::OnKey(int position, TileKey key) {
  Execute(key == TileKey::kEnter ? ThumbCommand::kOpen : ThumbCommand::kToggleInclude, position);
}

void CThumbsListCtrl::OnContextMenu(int position) {
  if (view_ == nullptr) return;
  const std::vector<MenuEntry> entries = ContextMenu(position);
  if (entries.empty()) return;
  const int chosen = view_->ShowContextMenu(entries);
  if (chosen >= 0 && chosen <= static_cast<int>(ThumbCommand::kWatermark)) {
    Execute(static_cast<ThumbCommand>(chosen), position);
  }
}

void CThumbsListCtrl::LoaderMain() {
  if (job_ != nullptr) ThumbsLoader(*job_).Run();
}

std::unique_ptr<ThumbsLoaderJob> CThumbsListCtrl::MakeLoaderJob() {
  CAlbum& album = *album_;
  CUserSession& session = app_.Session();
  auto job = std::make_unique<ThumbsLoaderJob>();
  job->album = &album;
  // What the loader would otherwise write into the items is settled here, while none runs.
  const bool hd = AlbumNeedsHd(session.IsSignedIn(), album.albumCategory, session.Categories());
  for (const auto& item : album.items) {
    if (item->photosUrl.empty()) item->photosUrl = album.photosUrl;
    if (item->videosUrl.empty()) item->videosUrl = album.videosUrl;
    if (item->included && NeedsPreparation(*item)) item->isHdPhoto = hd;
    job->items.push_back(item.get());
  }
  job->applyTexts = album.albumID < 0;
  job->postDates = album.albumID <= 0 && !album.manualDateInterval;
  job->thumbnails = options_.thumbnails;
  job->prepareOnly = options_.prepareOnly;
  job->preparationThreads = options_.preparationThreads;
  job->sizeThumb = app_.Params().SizeThumb;
  job->resolution = album.resolution;
  job->videoResolution =
      app_.Params().VideoResolutionFor(VipValuesApply(session.IsSignedIn(), session.IsVip()));
  job->exifUse = ExifTextUse{album.env.useExifName, album.env.useExifDesc};
  job->settings = PreparationSettingsFor(album);
  job->settings.watermark = SessionWatermarkSource(session, app_.SharedHttpMngr());
  job->settings.reports = app_.Reports();
  job->settings.dialogs = loaderDialogs_.get();
  job->albumUrl = album.AlbumUrl();
  job->user = session.Credentials();
  job->connections = app_.SharedHttpMngr();
  job->previews = &app_.Previews();
  job->window = window_.get();
  job->owner = owner_.get();
  job->shouldContinue = [this] { return ShouldContinue(); };
  job->cancel = StopFlag();
  job->takeQueued = [this]() -> CPhoto* {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    if (loadQueue_.empty()) return nullptr;
    CPhoto* item = loadQueue_.front();
    loadQueue_.pop_front();
    return item;
  };
  job->setBusy = [this](CPhoto* item) {
    std::lock_guard<std::recursive_mutex> lock(lock_);
    busy_ = item;
  };
  return job;
}

bool CThumbsListCtrl::StopLoader() {
  if (stopping_) return false;
  if (!IsRunning()) return true;
  stopping_ = true;
  const bool stopped = StopAndWait(kThumbsLoaderStopWait) && !IsRunning();
  stopping_ = false;
  return stopped;
}

MessageParam CThumbsListCtrl::OnListMessage(const WindowMessage& message) {
  switch (message.id) {
    case kMsgThumb1081:
      // The tile is drawn anew from the item, its name included.
      RedrawTile(static_cast<int>(message.lParam));
      break;
    case kMsgOverallProgress:
      SetZoom(static_cast<int>(message.wParam));
      break;
    case kMsgThumbsWarning:
      if (message.payload) {
        app_.MessageBox(*static_cast<const std::string*>(message.payload.get()),
                        static_cast<MessageKind>(message.wParam));
      }
      break;
    default:
      break;
  }
  return 0;
}

void CThumbsListCtrl::Notify(unsigned message, MessageParam wParam, MessageParam lParam) {
  if (owner_) owner_->Send({message, wParam, lParam, nullptr});
}

void CThumbsListCtrl::PostToOwner(unsigned message, MessageParam wParam, MessageParam lParam) {
  if (owner_) owner_->Post({message, wParam, lParam, nullptr});
}

void CThumbsListCtrl::RedrawTile(int position) {
  if (view_ != nullptr && ItemAt(position) != nullptr) view_->RedrawTile(position);
}

}  // namespace zerva
