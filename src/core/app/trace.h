// The trace log: every part of the program reports what it does through Trace, which appends a
// line to "trace.log" in the temporary folder, keeps the last few messages for bug reports and
// forwards each message to the trace window when one is open. Callable from any thread.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#include "app/message_target.h"

namespace zerva {

inline constexpr int kTraceError = 1;
inline constexpr int kTraceWarning = 5;
inline constexpr int kTraceNotice = 10;

// How many formatted messages the recent-messages ring keeps.
inline constexpr int kTraceRingSize = 4;
// Before each line the log is deleted when larger than this, so that it starts afresh.
inline constexpr int64_t kTraceMaxBytes = 10485760;
// At start-up the log is deleted when larger than this.
inline constexpr int64_t kTraceStartupMaxBytes = 5242880;

// Formats the message into a buffer of lengthHint + 1 + strlen(format) characters (4097 +
// strlen(format) when the hint is 0 or less), cutting what does not fit, then records it.
void Trace(int level, int lengthHint, const char* format, ...)
    __attribute__((format(printf, 3, 4)));
// Trace(level, text.size(), "%s\n", text).
void TraceText(int level, const std::string& text);

// The last `count` messages (all kept ones when count is 0 or more than are kept), without
// prefix.
std::vector<std::string> RecentTraceMessages(int count, bool newestFirst);

// The window that receives kMsgTraceLine for every message (wParam the tag, payload a
// std::shared_ptr<std::string> with the text); nullptr when it is closed. Once this returns, the
// previous window is no longer posted to.
void SetTraceWindow(MessageTarget* window);

// TempFolder() + "trace.log".
std::string TraceFilePath();
// Deletes the log when it is larger than kTraceStartupMaxBytes.
void TrimTraceLogAtStartup();

// "(%.2d) (%.4x) %.4d-%.2d-%.2d %.2d:%.2d:%.2d.%.2d ": level, thread, local date, hour and
// minute; the seconds and hundredths come from the tick counter, not from the clock.
std::string TraceLinePrefix(int level, uint32_t threadId, const std::tm& local, uint64_t tickMs);

// The level in the top 4 bits, the thread in the low 28 bits.
uint32_t MakeTraceTag(int level, uint32_t threadId);
int TraceTagLevel(uint32_t tag);
uint32_t TraceTagThread(uint32_t tag);

// "1 (error)", "5 (warning)", "10 (notice)"; other levels by their number alone.
std::string TraceLevelLabel(int level);

}  // namespace zerva
