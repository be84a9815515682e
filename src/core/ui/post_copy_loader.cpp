#include "ui/post_copy_loader.h"

#include "app/trace.h"
#include "app/ui_thread.h"
#include "model/album_cover.h"
#include "net/http_connect.h"
#include "net/http_mngr.h"

namespace zerva {
namespace {

constexpr unsigned kMsgExtrasLoaded = 1;

}  // namespace

PostCopyLoader::PostCopyLoader(UiThread& ui, Done done) : done_(std::move(done)) {
  target_ = ui.MakeWindow([this](const WindowMessage& message) {
    if (message.id == kMsgExtrasLoaded) Delivered(message);
    return MessageParam{0};
  });
}

PostCopyLoader::~PostCopyLoader() {
  for (Run& run : runs_) run.cancel->store(true);
  for (Run& run : runs_) {
    if (run.thread.joinable()) run.thread.join();
  }
  // Results still queued for the window are dropped with it.
  target_.reset();
}

void PostCopyLoader::Reap() {
  std::erase_if(runs_, [](Run& run) {
    if (!run.finished->load()) return false;
    if (run.thread.joinable()) run.thread.join();
    return true;
  });
}

void PostCopyLoader::Start(PostCopyRequest request) {
  Reap();
  for (Run& run : runs_) run.cancel->store(true);
  const MessageParam generation = ++generation_;
  busy_ = true;
  Run run;
  run.cancel = std::make_shared<std::atomic<bool>>(false);
  run.finished = std::make_shared<std::atomic<bool>>(false);
  // The thread reaches the window only through the target, which lives until every run has
  // been joined.
  run.thread = std::thread([request = std::move(request), cancel = run.cancel,
                            finished = run.finished, target = target_.get(), generation] {
    auto extras = std::make_shared<PostCopyExtras>(Load(request, cancel.get()));
    if (!cancel->load()) target->Post({kMsgExtrasLoaded, generation, 0, extras});
    finished->store(true);
  });
  runs_.push_back(std::move(run));
}

PostCopyExtras PostCopyLoader::Load(const PostCopyRequest& request, std::atomic<bool>* cancel) {
  PostCopyExtras extras;
  if (!request.connections) return extras;
  std::unique_ptr<CHttpConnect> connection = request.connections->GetConnection();
  if (!connection) return extras;
  extras.banners =
      LoadAlbumBanners(*connection, request.user, request.albumId, request.scratchFolder, cancel);
  if (request.coverOf && !cancel->load()) {
    extras.cover = DownloadCover(*request.coverOf, *connection, true);
  }
  request.connections->ReleaseConnection(connection);
  Trace(kTraceNotice, 0, "PostCopy: %zu banners for album %d\n", extras.banners.size(),
        request.albumId);
  return extras;
}

void PostCopyLoader::Delivered(const WindowMessage& message) {
  Reap();
  if (message.wParam != generation_ || !message.payload) return;
  busy_ = false;
  done_(std::move(*std::static_pointer_cast<PostCopyExtras>(message.payload)));
}

}  // namespace zerva
