#include "gui/qt_ui_thread.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QThread>
#include <mutex>

namespace zerva::gui {

struct QtWindowTarget::State {
  std::mutex mutex;
  UiThread::Handler handler;
  bool open = true;

  // Runs the handler unless the window closed meanwhile; on the main thread only.
  MessageParam Deliver(const WindowMessage& message) {
    UiThread::Handler current;
    {
      std::lock_guard<std::mutex> lock(mutex);
      if (!open) return 0;
      current = handler;
    }
    return current ? current(message) : 0;
  }
};

bool OnGuiThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

void RunOnGuiThread(const std::function<void()>& task) {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || OnGuiThread()) {
    task();
    return;
  }
  QMetaObject::invokeMethod(app, task, Qt::BlockingQueuedConnection);
}

QtWindowTarget::QtWindowTarget(UiThread::Handler handler) : state_(std::make_shared<State>()) {
  state_->handler = std::move(handler);
}

QtWindowTarget::~QtWindowTarget() {
  Close();
}

void QtWindowTarget::Close() {
  std::lock_guard<std::mutex> lock(state_->mutex);
  state_->open = false;
  state_->handler = nullptr;
}

bool QtWindowTarget::Post(WindowMessage message) {
  QCoreApplication* app = QCoreApplication::instance();
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (!state_->open || app == nullptr) return false;
  }
  QMetaObject::invokeMethod(
      app, [state = state_, message = std::move(message)] { state->Deliver(message); },
      Qt::QueuedConnection);
  return true;
}

MessageParam QtWindowTarget::Send(WindowMessage message) {
  {
    std::lock_guard<std::mutex> lock(state_->mutex);
    if (!state_->open) return 0;
  }
  MessageParam result = 0;
  RunOnGuiThread([&] { result = state_->Deliver(message); });
  return result;
}

std::shared_ptr<MessageTarget> QtUiThread::MakeWindow(Handler handler) {
  return std::make_shared<QtWindowTarget>(std::move(handler));
}

void QtUiThread::PumpWaiting() {
  // Queued calls of workers run; the user's clicks wait until the wait is over.
  if (OnGuiThread()) QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace zerva::gui
