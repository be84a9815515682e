// The albums page's cover loader: a thread that fills in the album list's cover pictures. It
// takes what the cover caches hold first, then downloads the small covers (the ones asked for
// first), checks the network folders of albums without a cover, then downloads the large
// covers. A cover that cannot be had is marked failed and never tried again. The loader finds
// each album by its identifier under the list's lock whenever it reads or writes the record, so
// it never holds on to a record the list may free; it reports only by posting to the
// user-interface thread.
#pragma once

#include <chrono>
#include <deque>
#include <functional>
#include <memory>

#include "app/message_target.h"
#include "app/ui_thread.h"
#include "jobs/tarvik_thread.h"

namespace zerva {

class CAlbumMngr;
class CHttpConnect;
class CHttpMngr;

// The longest wait of Stop.
inline constexpr std::chrono::seconds kCoverLoaderStopWait{10};
// Posted to the loader's own window: lParam is the album whose item changed.
inline constexpr unsigned kMsgAlbumCoverChanged = 1091;

class AlbumCoverLoader : public CTarvikThread {
 public:
  // Runs on the user-interface thread for every album whose cover or folder state changed.
  using ChangedNotice = std::function<void(int albumId)>;

  // `albums` and `ui` outlive the loader; the loader takes its own HTTP client from
  // `connections` for each run.
  AlbumCoverLoader(CAlbumMngr& albums, std::shared_ptr<CHttpMngr> connections, UiThread& ui,
                   ChangedNotice onChanged);
  // Stops the thread and waits for it however long that takes: it uses this object.
  ~AlbumCoverLoader() override;
  AlbumCoverLoader(const AlbumCoverLoader&) = delete;
  AlbumCoverLoader& operator=(const AlbumCoverLoader&) = delete;

  // Starts a run unless one is under way; false when the thread could not be made.
  bool StartLoading();
  // Asks the run to stop and waits at most 10 seconds (delivering the user-interface thread's
  // messages meanwhile). False when it did not return in time: it returns at its next check,
  // and touches the list only by identifier under its lock until then.
  [[nodiscard]] bool Stop();
  bool Running() const { return IsRunning(); }
  // The album's small cover is wanted now: served before the rest of the sweep. Nothing for an
  // album whose cover was tried already.
  void Request(int albumId);
  // Forgets the requests still waiting.
  void ClearRequests();

 private:
  void Run();
  // Marks the covers the caches hold (state 1); false once asked to stop.
  bool TakeCachedCovers();
  // The requested albums, then every album whose cover of that size is not downloaded yet.
  bool LoadCovers(bool large);
  bool ServeRequests();
  // Downloads one cover unless it is downloaded or failed already.
  void LoadCover(int albumId, bool large);
  // Albums without a picture whose folder is on the network: is the folder there now?
  bool CheckNetworkFolders();
  void Post(int albumId);

  CAlbumMngr& albums_;
  std::shared_ptr<CHttpMngr> connections_;
  ChangedNotice onChanged_;
  // Cleared when the loader goes, so that a notice still on its way finds nobody.
  std::shared_ptr<bool> alive_;
  std::shared_ptr<MessageTarget> window_;
  std::unique_ptr<CHttpConnect> connection_;  // the run's own client
  std::deque<int> requests_;                  // guarded by the thread base's lock
};

}  // namespace zerva
