// The thumbnail list of the album editor ("CThumbsListCtrl"): one tile per album item, the
// commands on an item (open, include, cover, turns, watermark, video commands), reordering by
// dragging, files dropped from the desktop, and the loader thread that fills in the pictures
// and prepares the upload images in advance. The list never owns the album; it works on the
// album it is given and tells its owner about every change by the notices 1079 to 1085.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/message_target.h"
#include "jobs/tarvik_thread.h"
#include "ui/thumbs_list_view.h"

namespace zerva {

class CAlbum;
class CPhoto;
class CzervaApp;
class Dialogs;
struct ThumbsLoaderJob;

// Commands on one item, from the context menu, the keys and the tile's icons.
enum class ThumbCommand {
  kOpen,
  kToggleInclude,
  kSetCover,
  kTurnLeft,
  kTurnRight,
  kTurnUpsideDown,
  kShowInFileManager,
  kPlayVideo,
  kSendOriginal,
  kPosition,
  kProperties,
  kWatermark,
};

// Zoom percentages of a fresh fill and of the editor's slider.
inline constexpr int kMinZoomPercent = 50;
inline constexpr int kMaxZoomPercent = 200;

// The wait of ClearList for the loader.
inline constexpr std::chrono::seconds kThumbsLoaderStopWait{10};

// What the list leaves to the pages of a single item; unset hooks hide their commands.
struct ThumbsListHooks {
  // The GPS location picker can edit positions.
  std::function<bool()> canEditLocation;
  // Shows (edit false) or edits (edit true) the item's position; true when an edit was
  // confirmed and stored in the item.
  std::function<bool(CPhoto& item, bool edit)> locate;
  // The properties text of an item, lines separated by "\r\n".
  std::function<std::string(const CPhoto& item)> propertiesText;
};

// How the loader works for a front end.
struct ThumbsLoaderOptions {
  // The second pass makes thumbnails; a front end that draws nothing turns it off.
  bool thumbnails = true;
  // The third pass prepares only the items this accepts; empty: every item.
  std::function<bool(const CPhoto& item)> prepareOnly;
  // Threads of the third pass; 0: one per processor core.
  int preparationThreads = 0;
};

// What adding files to the album did, as list positions (-1: none).
struct AddedFiles {
  int firstNew = -1;     // the first item made of the files
  int lastTouched = -1;  // the item of the last file: new, included again or already there
};

class CThumbsListCtrl : public ThumbsListEvents, public CTarvikThread {
 public:
  // `view` may be null (nothing is drawn); `owner` receives the notices. Both outlive the list.
  CThumbsListCtrl(CzervaApp& app, ThumbsListView* view, std::shared_ptr<MessageTarget> owner,
                  ThumbsLoaderOptions options = {});
  // Stops the loader and waits for it to return however long that takes: the loader works on
  // items the list does not own.
  ~CThumbsListCtrl() override;
  CThumbsListCtrl(const CThumbsListCtrl&) = delete;
  CThumbsListCtrl& operator=(const CThumbsListCtrl&) = delete;

  void SetHooks(ThumbsListHooks hooks) { hooks_ = std::move(hooks); }

  // Shows the album's items (null: none); `fresh` sets the zoom by the item count. A changed
  // item list is shown only after ClearList: the loader works on the items it started with.
  void Fill(CAlbum* album, bool fresh);
  // Stops the loader (10 seconds at most) and empties its queue. False when the loader did not
  // stop in time: it still works on the items, so the album must not change structurally nor
  // go away, nor may its items' pictures, files or rotation change; the caller leaves the album
  // alone and tries again later (the loader returns at its next check).
  [[nodiscard]] bool ClearList();
  // The cover's list position (-1: none); with `pick` the first included item becomes the cover
  // when there is none.
  int RecomputeCover(bool pick);
  void Enqueue(CPhoto* item);
  void Prioritise(CPhoto* item);
  // Starts the loader unless it runs or there is no album.
  bool StartLoader();
  bool LoaderRunning() const { return IsRunning(); }
  // Waits for the loader to finish its passes, delivering the user-interface thread's messages
  // meanwhile; false on time-out.
  bool WaitForLoader(std::chrono::milliseconds wait);
  // Redraws every tile without refilling (the items' texts may have changed) and finds the cover
  // again (so may their inclusion).
  void Refresh();
  // The editor's slider (message 1077): refills at the new percentage.
  void SetZoom(int percent);

  // Adds files the user dropped or picked to the album (rejected and present ones are reported),
  // shows the list anew, restarts the loader and sends 1080 when anything changed. Nothing is
  // added (the user is told) while the loader does not stop.
  AddedFiles AddAlbumFiles(const std::vector<std::string>& paths);

  // The command on the item at `position`; nothing for a position outside the list.
  void Execute(ThumbCommand command, int position);
  // The context menu of the item at `position`, commands numbered by ThumbCommand.
  std::vector<MenuEntry> ContextMenu(int position) const;

  CAlbum* Album() const { return album_; }
  int CoverIndex() const { return coverIndex_; }
  int ThumbSize() const { return thumbSize_; }
  int ZoomPercent() const { return zoomPercent_; }
  int CurrentPosition() const;
  void SetCurrentPosition(int position);
  CPhoto* ItemAt(int position) const;

  // --- ThumbsListEvents ---
  TileInfo Tile(int position) override;
  std::string TileTooltip(int position, TileIcon icon) override;
  void OnTileClicked(int position, TileIcon icon) override;
  void OnTileDoubleClicked(int position, TileIcon icon) override;
  void OnCurrentChanged(int position) override;
  void OnKey(int position, TileKey key) override;
  void OnContextMenu(int position) override;
  void OnDragged(int from, int to) override;
  void OnFilesDropped(const std::vector<std::string>& paths) override;

 private:
  void LoaderMain();
  // What the next run of the loader works with, taken from the album and the application.
  std::unique_ptr<ThumbsLoaderJob> MakeLoaderJob();
  // Stops the loader before a change of what it works on; false when it did not stop in time
  // (or a stop is already under way further up this thread), and the change must not be made.
  bool StopLoader();
  // A change the user asked for was not made because the loader did not stop: traced and told.
  void TellLoaderBusy(const std::string& what);
  MessageParam OnListMessage(const WindowMessage& message);
  // The notices 1079, 1080 and 1084 are sent; 1082 and 1085 posted.
  void Notify(unsigned message, MessageParam wParam = 0, MessageParam lParam = 0);
  void PostToOwner(unsigned message, MessageParam wParam, MessageParam lParam);
  void RedrawTile(int position);

  // --- Commands ---
  void Open(int position);
  void ToggleInclude(int position);
  void SetCover(int position);
  void Turn(int position, int quarters);
  void ShowInFileManager(const CPhoto& item);
  void PlayVideo(const CPhoto& item);
  void Locate(int position);
  void ShowProperties(const CPhoto& item);
  void ToggleWatermark(int position);
  bool CanTurn(const CPhoto& item) const;
  bool CanPlay(const CPhoto& item) const;
  bool CanWatermark(const CPhoto& item) const;

  CzervaApp& app_;
  ThumbsListView* view_;
  std::shared_ptr<MessageTarget> owner_;
  ThumbsLoaderOptions options_;
  ThumbsListHooks hooks_;
  // The list's own window: the loader posts 1081 to it.
  std::shared_ptr<MessageTarget> window_;
  // Cleared when the list goes, so that a message still on its way finds nobody.
  std::shared_ptr<bool> alive_;
  // Where the loader's image work shows its warnings: posted to the list's window.
  std::unique_ptr<Dialogs> loaderDialogs_;
  // The loader's run; replaced only while no loader runs.
  std::unique_ptr<ThumbsLoaderJob> job_;
  CAlbum* album_ = nullptr;
  int coverIndex_ = -1;
  int thumbSize_ = 0;
  int zoomPercent_ = 100;
  bool stopping_ = false;
  std::deque<CPhoto*> loadQueue_;  // guarded by the thread base's lock
  CPhoto* busy_ = nullptr;         // guarded by the thread base's lock
};

}  // namespace zerva
