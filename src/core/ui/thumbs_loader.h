// ThumbsLoader: the work of the thumbnail list's loader thread. It walks a snapshot of the album's
// items in three passes: the quick EXIF pictures, then the thumbnails (made from the local files
// or fetched from the service, and the large picture of items the photo detail page wants), then
// the upload images prepared in advance on every core. Between items it asks the list whether to
// go on and serves the list's queue first. It reports only by posting to windows.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/message_target.h"
#include "media/preparation_settings.h"
#include "model/exif_reader.h"
#include "session/user_session.h"

namespace zerva {

class CAlbum;
class CHttpConnect;
class CHttpMngr;
class CPhoto;
class Dialogs;
class PreviewCache;

// The list's own window hears of a warning the loader's image work wants shown (payload: the
// text as std::string, wParam: the MessageKind).
inline constexpr unsigned kMsgThumbsWarning = 1090;

// Everything one run of the loader works with, gathered on the user-interface thread before the
// thread starts and left unchanged while it runs.
struct ThumbsLoaderJob {
  CAlbum* album = nullptr;
  // The album's items in list order at the start: the loader never reads the item list itself,
  // except through the advance preparation.
  std::vector<CPhoto*> items;
  // A new album made from a folder: the EXIF texts and orientations overwrite the items'.
  bool applyTexts = false;
  // Tell the owner to recompute the album's dates after the quick pictures (1084, wParam 1).
  bool postDates = false;
  bool thumbnails = true;
  std::function<bool(const CPhoto& item)> prepareOnly;
  int preparationThreads = 0;

  int sizeThumb = 100;  // SizeThumb: the loader's pictures are twice as large
  int resolution = 1200;
  int videoResolution = 640;
  ExifTextUse exifUse;
  PreparationSettings settings;
  // The album's web address, for the service's files of its items.
  std::string albumUrl;
  SessionCredentials user;
  std::shared_ptr<CHttpMngr> connections;
  PreviewCache* previews = nullptr;

  // Not owned: the list keeps them until its loader has returned.
  MessageTarget* window = nullptr;
  MessageTarget* owner = nullptr;

  // What the loader asks of the list, from its thread.
  std::function<bool()> shouldContinue;
  // The stop request, for transfers and the preparation to poll.
  std::atomic<bool>* cancel = nullptr;
  // Takes the first item of the queue; null when it is empty.
  std::function<CPhoto*()> takeQueued;
  // The item being fetched from the service (null: none).
  std::function<void(CPhoto*)> setBusy;
};

// The Dialogs the loader's image work sees: a warning is posted to the list's window (shown
// there on the user-interface thread); nothing else is asked from a worker.
std::unique_ptr<Dialogs> MakePostingDialogs(MessageTarget* window);

class ThumbsLoader {
 public:
  explicit ThumbsLoader(const ThumbsLoaderJob& job) : job_(job) {}
  ~ThumbsLoader();
  ThumbsLoader(const ThumbsLoader&) = delete;
  ThumbsLoader& operator=(const ThumbsLoader&) = delete;

  // The three passes; returns early once the list says stop.
  void Run();

  // The thumbnail of one item (and its large picture when `wantBig`): from the prepared-file
  // cache, the local file, or the service. Sets thumbFailed when no thumbnail could be had,
  // unless the run was stopped meanwhile. `position` is the item's list position.
  void LoadItem(CPhoto& item, int position, bool wantBig);

 private:
  bool QuickPictures();
  bool Thumbnails();
  void PrepareInAdvance();
  // Loads the queued items; false once the list says stop.
  bool ServeQueue();
  int PositionOf(const CPhoto* item) const;
  bool WantsBig(const CPhoto* item) const;
  // Files go only into the user's temporary folder: an album without one (nobody signed in)
  // gets no cache, downloads nor frame files.
  bool CanWriteFiles() const;
  bool FetchServerThumbnail(CPhoto& item);
  void FetchServerImage(CPhoto& item);
  void Post(MessageTarget* target, unsigned message, MessageParam wParam, MessageParam lParam);
  // The run's one connection, taken on first use and given back at the end.
  CHttpConnect* Connection();

  const ThumbsLoaderJob& job_;
  std::unique_ptr<CHttpConnect> connection_;
};

}  // namespace zerva
