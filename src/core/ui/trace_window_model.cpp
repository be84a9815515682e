#include "ui/trace_window_model.h"

#include <algorithm>
#include <chrono>

#include "app/trace.h"
#include "platform/os_info.h"

namespace zerva {

std::string TraceWindowTitle() {
  return "Trace - WinVer " + OsVersionString();
}

std::vector<std::string> TraceLevelChoices() {
  std::vector<std::string> labels;
  for (int level = 1; level <= kTraceWindowLevels; ++level)
    labels.push_back(TraceLevelLabel(level));
  return labels;
}

void TraceWindowModel::Add(uint32_t tag, const std::string& text, const std::tm& local,
                           uint64_t tickMs) {
  TraceWindowEntry entry;
  entry.level = TraceTagLevel(tag);
  entry.line = TraceLinePrefix(entry.level, TraceTagThread(tag), local, tickMs);
  for (const char c : text) {
    if (c != '\r' && c != '\n') entry.line += c;
  }
  entries_.push_back(std::move(entry));
  while (entries_.size() > kTraceWindowEntries) entries_.pop_front();
}

void TraceWindowModel::Add(uint32_t tag, const std::string& text) {
  const std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  const auto tick = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now().time_since_epoch());
  Add(tag, text, local, static_cast<uint64_t>(tick.count()));
}

void TraceWindowModel::SetLevel(int level) {
  level_ = std::clamp(level, 1, kTraceWindowLevels);
}

std::vector<const TraceWindowEntry*> TraceWindowModel::Visible() const {
  std::vector<const TraceWindowEntry*> shown;
  for (const TraceWindowEntry& entry : entries_) {
    if (entry.level <= level_) shown.push_back(&entry);
  }
  return shown;
}

}  // namespace zerva
