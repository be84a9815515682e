#include "app/trace.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <regex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "app/message_target.h"
#include "support/temp_dir.h"

namespace zerva {
namespace {

// The messages of the log's lines (prefix and CR LF checked and removed).
std::vector<std::string> LogMessages() {
  static const std::regex line(
      R"(\(\d\d\) \([0-9a-f]{4,7}\) \d{4}-\d\d-\d\d \d\d:\d\d:\d\d\.\d\d ([^\r\n]*)\r\n)");
  const std::string log = test::ReadWholeFile(TraceFilePath());
  std::vector<std::string> messages;
  size_t consumed = 0;
  for (auto it = std::sregex_iterator(log.begin(), log.end(), line); it != std::sregex_iterator();
       ++it) {
    EXPECT_EQ(static_cast<size_t>(it->position()), consumed) << "malformed line";
    consumed = static_cast<size_t>(it->position() + it->length());
    messages.push_back((*it)[1]);
  }
  EXPECT_EQ(consumed, log.size()) << "malformed tail";
  return messages;
}

void MakeLogOfSize(int64_t size) {
  const int fd = ::open(TraceFilePath().c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(::ftruncate(fd, size), 0);
  ::close(fd);
}

uint32_t ThisThread() {
  return static_cast<uint32_t>(::gettid());
}

class TraceTest : public ::testing::Test {
 protected:
  test::IsolatedHome home_;
};

TEST(TraceLinePrefix, DateFromTheClockSecondsFromTheTicks) {
  std::tm t{};
  t.tm_year = 2010 - 1900;
  t.tm_mon = 4;
  t.tm_mday = 7;
  t.tm_hour = 13;
  t.tm_min = 45;
  // 123456789 ms: 12345678 hundredths; mod 6000 = 3678 -> 36 s and 78 hundredths.
  EXPECT_EQ(TraceLinePrefix(5, 0x1a2b, t, 123456789), "(05) (1a2b) 2010-05-07 13:45:36.78 ");
  EXPECT_EQ(TraceLinePrefix(10, 0xf0000012, t, 0), "(10) (0012) 2010-05-07 13:45:00.00 ");
  // Within one clock minute the tick seconds wrap and go backwards.
  EXPECT_EQ(TraceLinePrefix(1, 0xabcdef, t, 59990), "(01) (abcdef) 2010-05-07 13:45:59.99 ");
  EXPECT_EQ(TraceLinePrefix(1, 0xabcdef, t, 60010), "(01) (abcdef) 2010-05-07 13:45:00.01 ");
}

TEST_F(TraceTest, WritesPrefixFlattenedTextAndCrLf) {
  EXPECT_EQ(TraceFilePath(), home_.CacheRoot() + "zerva/zerva.localhost/trace.log");
  TraceText(kTraceNotice, "first\r\nsecond\nthird\rfourth");
  Trace(kTraceError, 0, "%s=%d", "n", 42);
  // TraceText's line feed ends up as a trailing blank.
  EXPECT_EQ(LogMessages(), (std::vector<std::string>{"first second third fourth ", "n=42"}));
  char head[32];
  std::snprintf(head, sizeof head, "(01) (%.4x) ", ThisThread() & 0x0fffffff);
  const std::string log = test::ReadWholeFile(TraceFilePath());
  EXPECT_EQ(log.substr(log.find("\r\n") + 2, std::strlen(head)), head);
}

TEST_F(TraceTest, LengthHintSizesTheBufferAndTheRingKeepsFour) {
  const std::string big(5000, 'x');
  Trace(kTraceNotice, 0, "%s\n", big.c_str());
  // 4097 plus the format's three characters, less the terminating NUL.
  EXPECT_EQ(RecentTraceMessages(1, true)[0], std::string(4099, 'x'));
  Trace(kTraceNotice, 5, "%s\n", "abcdefghij");
  EXPECT_EQ(RecentTraceMessages(1, true)[0], "abcdefgh");
  Trace(kTraceNotice, 0x7fffff00, "%s\n", "abc");  // a huge hint costs no huge buffer
  TraceText(kTraceNotice, big);
  EXPECT_EQ(RecentTraceMessages(1, true)[0], big + "\n");

  for (int i = 1; i <= 6; ++i) Trace(kTraceNotice, 4, "m%d", i);
  EXPECT_EQ(RecentTraceMessages(0, true), (std::vector<std::string>{"m6", "m5", "m4", "m3"}));
  EXPECT_EQ(RecentTraceMessages(2, false), (std::vector<std::string>{"m5", "m6"}));
  EXPECT_EQ(RecentTraceMessages(9, false).size(), 4u);
}

TEST_F(TraceTest, SizeLimitsBeforeEachLineAndAtStartup) {
  MakeLogOfSize(kTraceMaxBytes);
  TraceText(kTraceNotice, "appended");
  EXPECT_GT(test::ReadWholeFile(TraceFilePath()).size(), static_cast<size_t>(kTraceMaxBytes));
  MakeLogOfSize(kTraceMaxBytes + 1);
  TraceText(kTraceNotice, "fresh");
  EXPECT_EQ(LogMessages(), std::vector<std::string>{"fresh "});

  MakeLogOfSize(kTraceStartupMaxBytes);
  TrimTraceLogAtStartup();
  EXPECT_EQ(test::ReadWholeFile(TraceFilePath()).size(),
            static_cast<size_t>(kTraceStartupMaxBytes));
  MakeLogOfSize(kTraceStartupMaxBytes + 1);
  TrimTraceLogAtStartup();
  EXPECT_NE(::access(TraceFilePath().c_str(), F_OK), 0);
  TrimTraceLogAtStartup();  // no log: nothing is created
  EXPECT_NE(::access(TraceFilePath().c_str(), F_OK), 0);
}

TEST_F(TraceTest, UnwritableLogDropsTheLineButKeepsTheRing) {
  ASSERT_EQ(::mkdir(TraceFilePath().c_str(), 0700), 0);
  TraceText(kTraceWarning, "still remembered");
  EXPECT_EQ(RecentTraceMessages(1, true)[0], "still remembered\n");
}

TEST_F(TraceTest, ConcurrentWritersKeepEveryLineWhole) {
  constexpr int kThreads = 6;
  constexpr int kLines = 200;
  const auto filler = [](int t) { return std::string(100 + t * 37, static_cast<char>('a' + t)); };
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([t, &filler] {
      for (int i = 0; i < kLines; ++i)
        Trace(kTraceNotice, 0, "%d %d %s\n", t, i, filler(t).c_str());
    });
  }
  for (std::thread& thread : threads) thread.join();

  std::set<std::string> distinct;
  for (const std::string& message : LogMessages()) {
    const int t = message[0] - '0';
    ASSERT_TRUE(t >= 0 && t < kThreads) << message;
    const size_t blank = message.find(' ', 2);
    EXPECT_EQ(message.substr(blank + 1), filler(t) + " ");
    distinct.insert(message.substr(0, blank));
  }
  EXPECT_EQ(distinct.size(), static_cast<size_t>(kThreads * kLines));
}

TEST_F(TraceTest, TheTraceWindowReceivesTagAndTextUntilClosed) {
  UiLoop loop;
  std::vector<std::pair<uint32_t, std::string>> received;
  LoopTarget window(loop, [&](const WindowMessage& m) {
    EXPECT_EQ(m.id, kMsgTraceLine);
    received.emplace_back(static_cast<uint32_t>(m.wParam),
                          *std::static_pointer_cast<std::string>(m.payload));
    return MessageParam{0};
  });
  SetTraceWindow(&window);
  uint32_t workerThread = 0;
  std::thread worker([&] {
    workerThread = ThisThread();
    TraceText(kTraceError, "from a worker");
  });
  worker.join();
  TraceText(kTraceNotice, "from the ui");
  SetTraceWindow(nullptr);
  TraceText(kTraceNotice, "after closing");
  loop.Pump();

  ASSERT_EQ(received.size(), 2u);
  EXPECT_EQ(received[0].first, (1u << 28) | workerThread);
  EXPECT_EQ(TraceTagLevel(received[0].first), kTraceError);
  EXPECT_EQ(TraceTagThread(received[0].first), workerThread);
  EXPECT_EQ(received[0].second, "from a worker\n");
  EXPECT_EQ(received[1].first, MakeTraceTag(kTraceNotice, ThisThread()));
  EXPECT_EQ(received[1].second, "from the ui\n");
}

}  // namespace
}  // namespace zerva
