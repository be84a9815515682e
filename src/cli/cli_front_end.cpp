#include "cli/cli_front_end.h"

#include <string>

#include "app/text_utils.h"

namespace zerva::cli {
namespace {

class VerbWindow : public MainWindow {
 public:
  VerbWindow(CliFrontEnd::VerbRunner runner, CzervaApp& app)
      : runner_(std::move(runner)), app_(app) {}
  int Run() override { return runner_ ? runner_(app_) : 0; }

 private:
  CliFrontEnd::VerbRunner runner_;
  CzervaApp& app_;
};

// The trace window of a terminal: each line as it is written, on stderr.
class TraceLines : public MessageTarget {
 public:
  explicit TraceLines(std::FILE* err) : err_(err) {}
  bool Post(WindowMessage message) override {
    if (message.id != kMsgTraceLine || !message.payload) return true;
    const auto* text = static_cast<const std::string*>(message.payload.get());
    std::fprintf(err_, "trace: %s\n", TrimEndChars(FlattenLines(*text), " ").c_str());
    return true;
  }
  MessageParam Send(WindowMessage message) override {
    Post(std::move(message));
    return 0;
  }

 private:
  std::FILE* err_;
};

}  // namespace

void PrintAddressToOpen(std::FILE* err, const std::string& url) {
  std::fprintf(err, "Open this address in a browser: %s\n", url.c_str());
  std::fflush(err);
}

CliFrontEnd::CliFrontEnd(TerminalDialogs& dialogs, UiLoop& loop, VerbRunner runner, std::FILE* err)
    : dialogs_(dialogs), ui_(loop), runner_(std::move(runner)), err_(err) {}

void CliFrontEnd::ShowPlainMessage(const std::string& text, const std::string& caption) {
  dialogs_.ShowPlain(text, caption);
}

std::unique_ptr<MainWindow> CliFrontEnd::CreateMainWindow(CzervaApp& app) {
  return std::make_unique<VerbWindow>(runner_, app);
}

void CliFrontEnd::OpenUrl(const std::string& url) {
  PrintAddressToOpen(err_, url);
}

void CliFrontEnd::OpenUrlSignedIn(CzervaApp& /*app*/, const std::string& url) {
  PrintAddressToOpen(err_, url);
}

std::shared_ptr<MessageTarget> CliFrontEnd::OpenTraceWindow() {
  return std::make_shared<TraceLines>(err_);
}

}  // namespace zerva::cli
