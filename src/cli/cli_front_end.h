// zerva-cli as the application's front end: the terminal's dialogs, the headless loop of the
// main thread, a "main window" that runs the verb, web addresses printed instead of opened,
// and trace lines on stderr for the "trace" switch.
#pragma once

#include <cstdio>
#include <functional>
#include <memory>

#include "app/message_target.h"
#include "app/ui_thread.h"
#include "cli/terminal_dialogs.h"
#include "ui/app_front_end.h"

namespace zerva::cli {

class CliFrontEnd : public AppFrontEnd {
 public:
  // Runs the verb once start-up has passed its checks; returns the exit status.
  using VerbRunner = std::function<int(CzervaApp& app)>;

  CliFrontEnd(TerminalDialogs& dialogs, UiLoop& loop, VerbRunner runner, std::FILE* err);

  Dialogs& AppDialogs() override { return dialogs_; }
  UiThread& AppUiThread() override { return ui_; }
  void ShowPlainMessage(const std::string& text, const std::string& caption) override;
  std::unique_ptr<MainWindow> CreateMainWindow(CzervaApp& app) override;
  // Printed on stderr: a terminal has no browser to open.
  void OpenUrl(const std::string& url) override;
  // The plain address: a login ticket signs in once and does not belong in a terminal's
  // scrollback.
  void OpenUrlSignedIn(CzervaApp& app, const std::string& url) override;
  std::shared_ptr<MessageTarget> OpenTraceWindow() override;

 private:
  TerminalDialogs& dialogs_;
  LoopUiThread ui_;
  VerbRunner runner_;
  std::FILE* err_;
};

// Prints `url` on `err` as an address to open.
void PrintAddressToOpen(std::FILE* err, const std::string& url);

}  // namespace zerva::cli
