// The Qt window as the application's front end: its dialogs, Qt's main thread as the
// user-interface thread, the main window and the trace window.
#pragma once

#include <functional>
#include <memory>

#include "gui/qt_dialogs.h"
#include "gui/qt_ui_thread.h"
#include "ui/app_front_end.h"

namespace zerva::gui {

class TraceWindow;
class ZervaWindow;

class QtFrontEnd : public AppFrontEnd {
 public:
  struct Options {
    // The dialogs to use; null: Qt's boxes. Tests answer from a script here.
    std::unique_ptr<QtDialogs> dialogs;
    // Runs once the main window is on the screen and its first page is shown; the window's
    // event loop runs meanwhile, and the window closes when the code closes it.
    std::function<void(ZervaWindow&)> onShown;
  };

  QtFrontEnd();
  explicit QtFrontEnd(Options options);
  ~QtFrontEnd() override;

  Dialogs& AppDialogs() override { return *dialogs_; }
  QtDialogs& QtAppDialogs() { return *dialogs_; }
  UiThread& AppUiThread() override { return ui_; }
  void ShowPlainMessage(const std::string& text, const std::string& caption) override;
  std::unique_ptr<MainWindow> CreateMainWindow(CzervaApp& app) override;
  // The sign-in ticket is asked of the service first: the wait cursor shows meanwhile.
  void OpenUrlSignedIn(CzervaApp& app, const std::string& url) override;

  std::shared_ptr<MessageTarget> OpenTraceWindow() override;
  void CloseTraceWindow() override;
  std::string TraceWindowText() const override;
  // Opens the trace window when it is not open and lets every trace message reach it.
  void ShowTraceWindow();
  TraceWindow* Trace() const { return trace_.get(); }

  const std::function<void(ZervaWindow&)>& OnShown() const { return onShown_; }

 private:
  std::unique_ptr<QtDialogs> dialogs_;
  QtUiThread ui_;
  std::unique_ptr<TraceWindow> trace_;
  std::function<void(ZervaWindow&)> onShown_;
};

}  // namespace zerva::gui
