// What a front end lends the application object: its dialogs, its user-interface thread, its
// main window and the way it opens web pages. The Qt window, the terminal front end and the
// tests each provide one; the application's start-up and shutdown are the same for all.
#pragma once

#include <memory>
#include <string>

#include "app/dialogs.h"
#include "app/message_target.h"
#include "app/ui_thread.h"

namespace zerva {

class CzervaApp;

// The window the application runs once start-up has passed every check.
class MainWindow {
 public:
  virtual ~MainWindow() = default;
  // Runs until the window closes; the result becomes the program's exit status.
  virtual int Run() = 0;
  // Where the application's background work posts its transfer progress (1088); null when
  // nobody listens.
  virtual std::shared_ptr<MessageTarget> NotifyTarget() { return nullptr; }
};

class AppFrontEnd {
 public:
  virtual ~AppFrontEnd() = default;

  virtual Dialogs& AppDialogs() = 0;
  virtual UiThread& AppUiThread() = 0;
  // A notice shown before any language is loaded: the text and caption exactly as given.
  virtual void ShowPlainMessage(const std::string& text, const std::string& caption) = 0;
  // The main window; null when it cannot be made (start-up then ends).
  virtual std::unique_ptr<MainWindow> CreateMainWindow(CzervaApp& app) = 0;

  // Opens a web page in the default browser (xdg-open).
  virtual void OpenUrl(const std::string& url);
  // Opens a page of the service with the user signed in by a login ticket when one is signed
  // in.
  virtual void OpenUrlSignedIn(CzervaApp& app, const std::string& url);

  // The trace window the "trace" switch opens: every trace line is posted to it. Null when the
  // front end has none.
  virtual std::shared_ptr<MessageTarget> OpenTraceWindow() { return nullptr; }
  virtual void CloseTraceWindow() {}
  // What the open trace window shows, for failure texts; empty without one.
  virtual std::string TraceWindowText() const { return {}; }
};

}  // namespace zerva
