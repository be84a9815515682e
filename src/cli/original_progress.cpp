#include "cli/original_progress.h"

#include <chrono>

#include "cli/terminal_progress.h"
#include "jobs/send_original_video.h"
#include "ui/zerva_app.h"

namespace zerva::cli {
namespace {

constexpr std::chrono::milliseconds kPumpSlice{20};

// One original's window as a progress line: its caption, the share sent and the time left.
class TerminalOriginalView final : public ProgressWindowView {
 public:
  TerminalOriginalView(TerminalProgress& progress, std::FILE* err)
      : progress_(progress), err_(err) {}

  void Show(const std::string& caption, const std::string& message) override {
    caption_ = caption;
    std::fprintf(err_, "%s\n%s\n", caption.c_str(), message.c_str());
  }
  void SetProgress(int percent) override {
    state_.percent = percent;
    Draw();
  }
  void SetRemaining(const std::string& label, const std::string& estimate) override {
    remaining_ = estimate.empty() ? std::string() : label + " " + estimate;
    Draw();
  }
  void Close() override { progress_.Finish(); }

 private:
  void Draw() {
    state_.label = remaining_.empty() ? caption_ : caption_ + ", " + remaining_;
    progress_.Show(state_);
  }

  TerminalProgress& progress_;
  std::FILE* err_;
  std::string caption_;
  std::string remaining_;
  ProgressState state_;
};

}  // namespace

void ShowOriginalsOnTerminal(CliContext& context) {
  TerminalProgress* progress = &context.progress;
  std::FILE* err = context.err;
  context.app->SetOriginalProgressViews([progress, err]() -> std::unique_ptr<ProgressWindowView> {
    return std::make_unique<TerminalOriginalView>(*progress, err);
  });
}

void WaitForOriginals(CliContext& context) {
  OriginalVideoPool& pool = context.app->OriginalPool();
  for (;;) {
    int waiting = 0, running = 0, finished = 0;
    pool.CountStates(&waiting, &running, &finished);
    if (waiting == 0 && running == 0) return;
    context.loop.PumpFor(kPumpSlice);
  }
}

}  // namespace zerva::cli
