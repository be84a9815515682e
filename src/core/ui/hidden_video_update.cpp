#include "ui/hidden_video_update.h"

#include <string>

#include "app/trace.h"
#include "net/http_mngr.h"

namespace zerva {

struct HiddenVideoUpdate::Task {
  std::shared_ptr<CHttpMngr> manager;
  UpdateCheck check;
  std::shared_ptr<MessageTarget> window;
  std::shared_ptr<CancelFlag> stop;
};

HiddenVideoUpdate::HiddenVideoUpdate()
    : stop_(std::make_shared<CancelFlag>(false)), thread_(&HiddenVideoUpdate::Run, "ZervaApp") {}

bool HiddenVideoUpdate::Start(std::shared_ptr<CHttpMngr> manager, UpdateCheck check,
                              std::shared_ptr<MessageTarget> window, UiThread* ui) {
  if (!manager) return false;
  stop_->store(false);
  thread_.SetUiThread(ui);
  auto task = std::make_shared<Task>();
  task->manager = std::move(manager);
  task->check = check ? std::move(check) : UpdateCheck(NoUpdateCheck);
  task->window = std::move(window);
  task->stop = stop_;
  return thread_.Start(task);
}

bool HiddenVideoUpdate::Stop(std::chrono::milliseconds wait) {
  stop_->store(true);
  if (!thread_.IsRunning()) return true;
  return thread_.StopAndWait(wait);
}

void HiddenVideoUpdate::Run(const std::shared_ptr<void>& param) {
  const std::shared_ptr<Task> task = std::static_pointer_cast<Task>(param);
  TraceText(kTraceNotice, "ZervaApp thread: zacatek skryte aktualizace videa");
  std::unique_ptr<CHttpConnect> connection = task->manager->GetConnection();
  bool result = false;
  if (connection) {
    connection->SetNotify(task->window.get(), kMsgTransferProgress);
    connection->SetProgressRange(0.0, 100.0);
    bool quit = false;
    std::string report;
    result = task->check(*connection, true, &quit, task->stop.get(), &report);
    task->manager->ReleaseConnection(connection);
  }
  Trace(kTraceNotice, 0, "ZervaApp thread: konec skryte aktualizace videa, return %d\n",
        result ? 1 : 0);
}

}  // namespace zerva
