// The application's background fetch of missing video tools: the update check in hidden mode
// on a thread of its own ("ZervaApp"), with its own connection, stopped cooperatively at
// shutdown.
#pragma once

#include <chrono>
#include <memory>

#include "app/message_target.h"
#include "app/ui_thread.h"
#include "jobs/tarvik_thread.h"
#include "net/http_connect.h"
#include "ui/app_seams.h"

namespace zerva {

class CHttpMngr;

class HiddenVideoUpdate {
 public:
  HiddenVideoUpdate();
  HiddenVideoUpdate(const HiddenVideoUpdate&) = delete;
  HiddenVideoUpdate& operator=(const HiddenVideoUpdate&) = delete;

  // Clears the stop flag and starts the thread. The manager, the check and the window are
  // shared with the thread, so a thread that outlives its stop never touches freed memory.
  // `ui` (may be null) delivers messages while Stop waits.
  bool Start(std::shared_ptr<CHttpMngr> manager, UpdateCheck check,
             std::shared_ptr<MessageTarget> window, UiThread* ui);
  // Sets the stop flag and, while the thread runs, waits for it (the thread base's bounded
  // wait). False when it did not end in time.
  bool Stop(std::chrono::milliseconds wait = kDefaultThreadStopWait);
  bool IsRunning() const { return thread_.IsRunning(); }

 private:
  struct Task;
  static void Run(const std::shared_ptr<void>& param);

  std::shared_ptr<CancelFlag> stop_;
  CTarvikThread thread_;
};

}  // namespace zerva
