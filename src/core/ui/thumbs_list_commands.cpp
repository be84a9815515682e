// The commands of CThumbsListCtrl on one item, its context menu, and the album changes made by
// dragging tiles and dropping files.
#include <algorithm>
#include <mutex>

#include "app/trace.h"
#include "lang/text.h"
#include "media/preparation_settings.h"
#include "media/prepared_cache.h"
#include "media/video_player.h"
#include "model/album.h"
#include "model/album_items.h"
#include "model/photo_sort.h"
#include "platform/shell_open.h"
#include "ui/item_location.h"
#include "ui/item_turn.h"
#include "ui/item_watermark.h"
#include "ui/thumbs_list_ctrl.h"
#include "ui/zerva_app.h"

namespace zerva {
namespace {

std::string DefaultPropertiesText(const CPhoto& item) {
  std::lock_guard<std::mutex> lock(item.lock);
  return Text("msgPhotoFileName") + ": " + item.fileName + "\r\n" + Text("exifDateTime") + ": " +
         ItemSortDate(item);
}

MenuEntry Entry(std::string text, ThumbCommand command, bool checked = false) {
  return MenuEntry::Command(std::move(text), static_cast<int>(command), true, checked);
}

}  // namespace

void CThumbsListCtrl::Execute(ThumbCommand command, int position) {
  CPhoto* item = ItemAt(position);
  if (item == nullptr) return;
  switch (command) {
    case ThumbCommand::kOpen:
      Open(position);
      break;
    case ThumbCommand::kToggleInclude:
      ToggleInclude(position);
      break;
    case ThumbCommand::kSetCover:
      SetCover(position);
      break;
    case ThumbCommand::kTurnLeft:
      Turn(position, 3);
      break;
    case ThumbCommand::kTurnRight:
      Turn(position, 1);
      break;
    case ThumbCommand::kTurnUpsideDown:
      Turn(position, 2);
      break;
    case ThumbCommand::kShowInFileManager:
      ShowInFileManager(*item);
      break;
    case ThumbCommand::kPlayVideo:
      PlayVideo(*item);
      break;
    case ThumbCommand::kSendOriginal:
      if (item->isVideo && item->HasLocalFile() && app_.VideoConverterPresent()) {
        PostToOwner(kMsgThumb1085, 0, reinterpret_cast<MessageParam>(item));
      }
      break;
    case ThumbCommand::kPosition:
      Locate(position);
      break;
    case ThumbCommand::kProperties:
      ShowProperties(*item);
      break;
    case ThumbCommand::kWatermark:
      ToggleWatermark(position);
      break;
  }
}

std::vector<MenuEntry> CThumbsListCtrl::ContextMenu(int position) const {
  const CPhoto* item = ItemAt(position);
  if (item == nullptr) return {};
  const bool video = item->isVideo;
  std::vector<MenuEntry> menu;
  menu.push_back(
      Entry(video ? Text("EditPhotoDetailDlgTitleVideo") : Text("EditPhotoDetailDlgTitle"),
            ThumbCommand::kOpen));
  if (item->included) {
    menu.push_back(
        Entry(video ? Text("excludeVideo") : Text("excludePhoto"), ThumbCommand::kToggleInclude));
  } else {
    menu.push_back(
        Entry(video ? Text("includeVideo") : Text("includePhoto"), ThumbCommand::kToggleInclude));
  }
  if (position != coverIndex_)
    menu.push_back(Entry(Text("setAsDefaultTool"), ThumbCommand::kSetCover));
  if (CanTurn(*item)) {
    menu.push_back(Entry(Text("rotateLeft"), ThumbCommand::kTurnLeft));
    menu.push_back(Entry(Text("rotateRight"), ThumbCommand::kTurnRight));
    menu.push_back(Entry(Text("rotateUpsideDown"), ThumbCommand::kTurnUpsideDown));
  }
  if (item->HasLocalFile()) {
    menu.push_back(Entry(video ? Text("showActualVideo") : Text("showActual"),
                         ThumbCommand::kShowInFileManager));
  }
  if (CanPlay(*item)) menu.push_back(Entry(Text("msgPlayVideo"), ThumbCommand::kPlayVideo));
  if (video && item->HasLocalFile() && app_.VideoConverterPresent()) {
    menu.push_back(Entry(Text("msgSendVideoFile"), ThumbCommand::kSendOriginal));
  }
  if (hooks_.locate) {
    if (hooks_.canEditLocation && hooks_.canEditLocation()) {
      menu.push_back(Entry(Text("msgGpsLocation") + "...", ThumbCommand::kPosition));
    } else if (item->HasGps()) {
      menu.push_back(Entry(Text("msgShowGpsLocation"), ThumbCommand::kPosition));
    }
  }
  menu.push_back(
      Entry(video ? Text("videoProperties") : Text("photoProperties"), ThumbCommand::kProperties));
  if (CanWatermark(*item)) {
    menu.push_back(Entry(Text("btnWatermark"), ThumbCommand::kWatermark, item->hasWatermark));
  }
  return menu;
}

void CThumbsListCtrl::Open(int position) {
  // The owner tells the application which item the photo detail page shows.
  PostToOwner(kMsgThumb1082, position, 0);
}

void CThumbsListCtrl::ToggleInclude(int position) {
  CPhoto& item = *ItemAt(position);
  bool included = false;
  {
    // The loader reads inclusion on its thread.
    std::lock_guard<std::mutex> lock(item.lock);
    item.included = !item.included;
    included = item.included;
  }
  if ((included && coverIndex_ < 0) || (!included && position == coverIndex_)) {
    const int old = coverIndex_;
    RecomputeCover(true);
    RedrawTile(old);
    RedrawTile(coverIndex_);
  }
  album_->modified = true;
  RedrawTile(position);
  Notify(kMsgThumb1080);
  Notify(kMsgThumbLoaded);
  Notify(kMsgThumb1084);
}

void CThumbsListCtrl::SetCover(int position) {
  CPhoto& item = *ItemAt(position);
  const int old = coverIndex_;
  bool wasIncluded = true;
  {
    std::lock_guard<std::mutex> lock(item.lock);
    wasIncluded = item.included;
    item.included = true;
  }
  album_->thumbName = item.fileName;
  album_->modified = true;
  coverIndex_ = position;
  RedrawTile(old);
  RedrawTile(position);
  Notify(kMsgThumb1080);
  // An excluded item made the cover joins the album: the counts and the dates change with it.
  if (!wasIncluded) {
    Notify(kMsgThumbLoaded);
    Notify(kMsgThumb1084);
  }
}

void CThumbsListCtrl::TellLoaderBusy(const std::string& what) {
  TraceText(kTraceWarning, "ThumbsList: " + what + ", the loader is busy");
  // The user asked for something: say why nothing happened.
  app_.MessageBox(Text("msgThumbsLoaderBusy"), MessageKind::kWarning);
}

void CThumbsListCtrl::Turn(int position, int quarters) {
  CPhoto& item = *ItemAt(position);
  if (!CanTurn(item)) return;
  // The loader makes pictures and cache files with the rotation it read.
  if (!StopLoader()) {
    TellLoaderBusy(item.fileName + " not turned");
    return;
  }
  if (!TurnItem(item, quarters)) {
    TraceText(kTraceWarning, "ThumbsList: the pictures of " + item.fileName +
                                 " could not be turned; they are made again");
  }
  item.edited = true;
  if (item.isVideo) {
    if (!album_->tempFolder.empty()) RewriteVideoFrameFiles(item, PreparationSettingsFor(*album_));
    item.video.videoChanged = true;
    item.needsUpload = true;
  }
  album_->modified = true;
  RedrawTile(position);
  Notify(kMsgThumb1080);
  // The turned photo is prepared again in advance.
  StartLoader();
}

void CThumbsListCtrl::ShowInFileManager(const CPhoto& item) {
  if (!item.HasLocalFile()) return;
  if (!ShellOpen(FolderOfPath(item.localPath))) {
    TraceText(kTraceWarning,
              "ThumbsList: the file manager could not be opened for " + item.localPath);
  }
}

void CThumbsListCtrl::PlayVideo(const CPhoto& item) {
  if (!CanPlay(item)) return;
  zerva::PlayVideo(item.name.empty() ? item.fileName : item.name, VideoPlayLocation(item));
}

void CThumbsListCtrl::Locate(int position) {
  if (!hooks_.locate) return;
  CPhoto& item = *ItemAt(position);
  const bool edit = hooks_.canEditLocation && hooks_.canEditLocation();
  if (!edit) {
    if (item.HasGps()) hooks_.locate(item, false);
    return;
  }
  // The loader may take the position from the EXIF data meanwhile.
  if (!StopLoader()) {
    TellLoaderBusy("the position of " + item.fileName + " not edited");
    return;
  }
  if (hooks_.locate(item, true)) {
    MarkItemLocated(*album_, item);
    RedrawTile(position);
    Notify(kMsgThumb1080);
  }
  StartLoader();
}

void CThumbsListCtrl::ShowProperties(const CPhoto& item) {
  if (view_ == nullptr) return;
  const std::string title = item.isVideo ? Text("videoProperties") : Text("photoProperties");
  view_->ShowProperties(
      title, hooks_.propertiesText ? hooks_.propertiesText(item) : DefaultPropertiesText(item));
}

void CThumbsListCtrl::ToggleWatermark(int position) {
  CPhoto& item = *ItemAt(position);
  if (!CanWatermark(item)) return;
  // The loader prepares images with the watermark state it read.
  if (!StopLoader()) {
    TellLoaderBusy("the watermark of " + item.fileName + " not changed");
    return;
  }
  SetItemWatermark(item, !item.hasWatermark, PreparationSettingsFor(*album_), album_->resolution);
  album_->modified = true;
  RedrawTile(position);
  StartLoader();
  Notify(kMsgThumb1080);
}

bool CThumbsListCtrl::CanTurn(const CPhoto& item) const {
  return !item.isVideo || item.HasLocalFile();
}

bool CThumbsListCtrl::CanPlay(const CPhoto& item) const {
  return item.isVideo && app_.VideoPlayerPresent() && !VideoPlayLocation(item).empty();
}

bool CThumbsListCtrl::CanWatermark(const CPhoto& item) const {
  if (!item.HasLocalFile() && item.photoID <= 0) return false;
  const UserDetails& user = app_.Session().Details();
  std::lock_guard<std::mutex> lock(item.lock);
  // The menu offers it once the picture's size is known.
  return item.width > 0 && item.height > 0 &&
         CanCarryWatermark(item, user.watermarkWidth, user.watermarkHeight);
}

void CThumbsListCtrl::OnDragged(int from, int to) {
  if (album_ == nullptr) return;
  const int count = static_cast<int>(album_->items.size());
  if (from < 0 || from >= count || to < 0 || to >= count || from == to) return;
  // The item list changes: not under a loader that still works on it. The tile goes back.
  if (!ClearList()) {
    if (view_ != nullptr) view_->RedrawAll();
    TellLoaderBusy("the tile not moved");
    return;
  }
  auto& items = album_->items;
  std::unique_ptr<CPhoto> moved = std::move(items[static_cast<size_t>(from)]);
  items.erase(items.begin() + from);
  items.insert(items.begin() + to, std::move(moved));
  album_->Renumber(false);
  album_->modified = true;
  Fill(album_, false);
  SetCurrentPosition(to);
  StartLoader();
  Notify(kMsgThumb1080);
}

void CThumbsListCtrl::OnFilesDropped(const std::vector<std::string>& paths) {
  const AddedFiles added = AddAlbumFiles(paths);
  if (added.firstNew >= 0 && view_ != nullptr) view_->EnsureVisible(added.lastTouched);
}

AddedFiles CThumbsListCtrl::AddAlbumFiles(const std::vector<std::string>& paths) {
  AddedFiles result;
  if (album_ == nullptr || paths.empty()) return result;
  if (!ClearList()) {
    TellLoaderBusy("files not added");
    return result;
  }
  CAlbum& album = *album_;
  const size_t itemsBefore = album.items.size();
  const int includedBefore = album.IncludedCount();
  // The files go through the album's pending list; what was pending stays so.
  std::vector<std::string> pending = std::move(album.pendingFiles);
  album.pendingFiles = paths;
  album.lastAddedIndex = -1;
  AddFiles(album, app_.AppDialogs());
  album.pendingFiles = std::move(pending);
  result.lastTouched = album.lastAddedIndex;
  album.lastAddedIndex = 0;
  const int added = static_cast<int>(album.items.size() - itemsBefore);
  const bool reIncluded = album.IncludedCount() > includedBefore + added;
  if (added > 0) {
    result.firstNew = static_cast<int>(itemsBefore);
    Fill(album_, false);
  } else if (reIncluded) {
    Refresh();
  }
  StartLoader();
  if (added > 0 || reIncluded) Notify(kMsgThumb1080);
  return result;
}

}  // namespace zerva
