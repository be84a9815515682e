// What the user-interface layer lends to the objects below it that keep a hidden window of their
// own (the job manager) or wait for a worker on the user-interface thread (thread stops): a way
// to make such a window and a way to deliver the messages waiting meanwhile.
#pragma once

#include <functional>
#include <memory>

#include "app/message_target.h"

namespace zerva {

class UiThread {
 public:
  using Handler = std::function<MessageParam(const WindowMessage&)>;

  virtual ~UiThread() = default;
  // A window whose handler runs on the user-interface thread.
  virtual std::shared_ptr<MessageTarget> MakeWindow(Handler handler) = 0;
  // Delivers the messages already waiting for the calling thread; nothing on a thread that runs
  // no loop. Waits on the user-interface thread call it so that workers that post or send to a
  // window are not blocked by the wait itself.
  virtual void PumpWaiting() = 0;
};

// The headless loop of the command line and the tests.
class LoopUiThread final : public UiThread {
 public:
  explicit LoopUiThread(UiLoop& loop) : loop_(loop) {}
  std::shared_ptr<MessageTarget> MakeWindow(Handler handler) override;
  void PumpWaiting() override;

 private:
  UiLoop& loop_;
};

}  // namespace zerva
