// Progress of long work on stderr: on a terminal one bar line redrawn in place (percentage,
// elapsed and remaining time, the current item); otherwise plain lines, one per percent step,
// that a log can keep.
#pragma once

#include <cstdio>
#include <mutex>
#include <optional>
#include <string>

namespace zerva::cli {

struct ProgressState {
  int percent = 0;  // 0 to 100
  int elapsedSeconds = 0;
  std::optional<int> remainingSeconds;  // unset while no estimate is shown
  std::string label;                    // the item being worked on
};

class TerminalProgress {
 public:
  TerminalProgress(std::FILE* out, bool isTerminal, int width = 80);

  // Shows the state; the caller applies the display rules (the remaining time never rises,
  // the bar never moves back). Without a terminal a line is written only when the percentage
  // changed.
  void Show(const ProgressState& state);
  // Ends the bar's line, so that what follows starts on a line of its own.
  void Finish();

  // "[#####.....]  50%  01:23  ~ 2:05 min left  name", fitted into `width` columns.
  static std::string BarLine(const ProgressState& state, int width);
  // "progress 50% elapsed 01:23 remaining 2:05 min name".
  static std::string PlainLine(const ProgressState& state);

 private:
  std::mutex mutex_;
  std::FILE* out_;
  bool isTerminal_;
  int width_;
  bool barShown_ = false;
  int lastPercent_ = -1;
};

}  // namespace zerva::cli
