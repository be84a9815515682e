// What the post-upload page fetches from the service, on a thread of its own so that a slow or
// silent service never holds the window: the album's banners with their pictures and, when the
// album's own pictures are not at hand, its cover. Results reach the page on the
// user-interface thread; only the latest load's result is delivered.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/message_target.h"
#include "model/album.h"
#include "model/image_ptr.h"
#include "session/user_session.h"
#include "ui/album_banners.h"

namespace zerva {

class CHttpMngr;
class UiThread;

struct PostCopyExtras {
  std::vector<AlbumBanner> banners;
  ImagePtr cover;  // null when not asked for or not to be had
};

struct PostCopyRequest {
  std::shared_ptr<CHttpMngr> connections;
  SessionCredentials user;
  int albumId = 0;
  // Where the banner pictures pass through, with a trailing "/".
  std::string scratchFolder;
  // Set: this album's cover is fetched as well.
  std::optional<CAlbum> coverOf;
};

class PostCopyLoader {
 public:
  using Done = std::function<void(PostCopyExtras extras)>;

  // `done` runs on the user-interface thread of `ui`.
  PostCopyLoader(UiThread& ui, Done done);
  // Asks every load still running to stop and waits for it: a load stops before its next
  // download, and a download in progress is cancelled.
  ~PostCopyLoader();
  PostCopyLoader(const PostCopyLoader&) = delete;
  PostCopyLoader& operator=(const PostCopyLoader&) = delete;

  // Starts a load; a load started earlier is asked to stop and its result is dropped.
  void Start(PostCopyRequest request);
  // Whether the latest load has not delivered its result yet.
  bool Busy() const { return busy_; }

 private:
  struct Run {
    std::thread thread;
    std::shared_ptr<std::atomic<bool>> cancel;
    std::shared_ptr<std::atomic<bool>> finished;
  };

  static PostCopyExtras Load(const PostCopyRequest& request, std::atomic<bool>* cancel);
  void Delivered(const WindowMessage& message);
  // Joins the runs that have finished.
  void Reap();

  Done done_;
  std::shared_ptr<MessageTarget> target_;
  std::vector<Run> runs_;
  MessageParam generation_ = 0;
  bool busy_ = false;
};

}  // namespace zerva
