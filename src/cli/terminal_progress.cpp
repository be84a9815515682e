#include "cli/terminal_progress.h"

#include <algorithm>

#include "app/text_utils.h"

namespace zerva::cli {
namespace {

constexpr int kBarCells = 24;
// Below this the bar alone would not fit; such a terminal gets the bar without the label.
constexpr int kMinWidth = 40;

std::string Elapsed(int seconds) {
  seconds = std::max(seconds, 0);
  char text[32];
  std::snprintf(text, sizeof text, "%.2d:%.2d", seconds / 60, seconds % 60);
  return text;
}

int Clamp(int percent) {
  return std::clamp(percent, 0, 100);
}

}  // namespace

TerminalProgress::TerminalProgress(std::FILE* out, bool isTerminal, int width)
    : out_(out), isTerminal_(isTerminal), width_(std::max(width, kMinWidth)) {}

std::string TerminalProgress::BarLine(const ProgressState& state, int width) {
  const int percent = Clamp(state.percent);
  const int filled = percent * kBarCells / 100;
  std::string line = "[" + std::string(filled, '#') + std::string(kBarCells - filled, '.') + "] ";
  char number[8];
  std::snprintf(number, sizeof number, "%3d%%", percent);
  line += number;
  line += "  " + Elapsed(state.elapsedSeconds);
  if (state.remainingSeconds) {
    line += "  ~" + FormatDuration(std::max(*state.remainingSeconds, 0)) + " left";
  }
  const std::string label = FlattenLines(state.label);
  const int room = std::max(width, kMinWidth) - 1 - static_cast<int>(line.size()) - 2;
  if (!label.empty() && room > 3) {
    line += "  ";
    line += static_cast<int>(label.size()) <= room
                ? label
                : "..." + label.substr(label.size() - static_cast<size_t>(room - 3));
  }
  return line;
}

std::string TerminalProgress::PlainLine(const ProgressState& state) {
  std::string line = "progress " + std::to_string(Clamp(state.percent)) + "% elapsed " +
                     Elapsed(state.elapsedSeconds);
  if (state.remainingSeconds) {
    line += " remaining " + FormatDuration(std::max(*state.remainingSeconds, 0));
  }
  const std::string label = FlattenLines(state.label);
  if (!label.empty()) line += " " + label;
  return line;
}

void TerminalProgress::Show(const ProgressState& state) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (isTerminal_) {
    std::fprintf(out_, "\r\033[K%s", BarLine(state, width_).c_str());
    barShown_ = true;
  } else {
    const int percent = Clamp(state.percent);
    if (percent == lastPercent_) return;
    lastPercent_ = percent;
    std::fprintf(out_, "%s\n", PlainLine(state).c_str());
  }
  std::fflush(out_);
}

void TerminalProgress::Finish() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (barShown_) std::fprintf(out_, "\n");
  barShown_ = false;
  lastPercent_ = -1;
  std::fflush(out_);
}

}  // namespace zerva::cli
