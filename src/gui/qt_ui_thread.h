// The user-interface thread of the Qt window: windows whose handlers run on Qt's main thread,
// reached by queued calls (Post) and blocking queued calls (Send), and a wait that keeps the
// queued calls flowing.
#pragma once

#include <memory>

#include "app/ui_thread.h"

namespace zerva::gui {

// A window on Qt's main thread. Once closed (or destroyed) it accepts nothing more, and calls
// still queued are dropped.
class QtWindowTarget : public MessageTarget {
 public:
  explicit QtWindowTarget(UiThread::Handler handler);
  ~QtWindowTarget() override;

  bool Post(WindowMessage message) override;
  MessageParam Send(WindowMessage message) override;
  void Close();

  struct State;

 private:
  std::shared_ptr<State> state_;
};

class QtUiThread final : public UiThread {
 public:
  std::shared_ptr<MessageTarget> MakeWindow(Handler handler) override;
  void PumpWaiting() override;
};

// True on Qt's main thread.
bool OnGuiThread();
// Runs `task` on Qt's main thread and waits for it (directly when already there).
void RunOnGuiThread(const std::function<void()>& task);

}  // namespace zerva::gui
