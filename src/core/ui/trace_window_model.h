// What the trace window lists: the messages posted to it, each with the log's line prefix,
// at most 200 of them, shown up to a chosen level.
#pragma once

#include <cstddef>
#include <cstdint>
#include <ctime>
#include <deque>
#include <string>
#include <vector>

namespace zerva {

inline constexpr size_t kTraceWindowEntries = 200;
inline constexpr int kTraceWindowLevels = 10;

struct TraceWindowEntry {
  int level = 0;
  std::string line;  // prefix and text, without CR and LF
};

// "Trace - WinVer " and the description of the system.
std::string TraceWindowTitle();
// The level list: "1 (error)" ... "10 (notice)".
std::vector<std::string> TraceLevelChoices();

class TraceWindowModel {
 public:
  // A posted message: its tag and text, stamped with the given time and tick count.
  void Add(uint32_t tag, const std::string& text, const std::tm& local, uint64_t tickMs);
  // The same, stamped now.
  void Add(uint32_t tag, const std::string& text);

  // Messages whose level is not above this one are shown; 1 to 10, 10 at the start.
  void SetLevel(int level);
  int Level() const { return level_; }
  std::vector<const TraceWindowEntry*> Visible() const;
  size_t Size() const { return entries_.size(); }

 private:
  std::deque<TraceWindowEntry> entries_;
  int level_ = kTraceWindowLevels;
};

}  // namespace zerva
