#include "app/ui_thread.h"

namespace zerva {

std::shared_ptr<MessageTarget> LoopUiThread::MakeWindow(Handler handler) {
  return std::make_shared<LoopTarget>(loop_, std::move(handler));
}

void LoopUiThread::PumpWaiting() {
  if (loop_.OnUiThread()) loop_.Pump();
}

}  // namespace zerva
