// Running child programs: exit codes and the still-running state, one pipe for output and
// errors, output that is large or written just before the end, time limits, and what happens to
// a child when its object closes.
#include "media/child_process.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <chrono>
#include <thread>

#include "support/temp_dir.h"
#include "video_fixtures.h"

namespace zerva {
namespace {

using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Whether a process (not a zombie) with this id exists.
bool Alive(pid_t pid) {
  if (::kill(pid, 0) != 0) return false;
  std::ifstream status("/proc/" + std::to_string(pid) + "/stat");
  std::string skip, state;
  status >> skip >> skip >> state;
  return state != "Z";
}

bool Gone(pid_t pid) {
  return ::kill(pid, 0) != 0 && errno == ESRCH;
}

// Waits up to `seconds` for `condition`.
template <typename Condition>
bool Eventually(Condition condition, double seconds = 5.0) {
  const auto start = Clock::now();
  while (SecondsSince(start) < seconds) {
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return condition();
}

TEST(ChildProcess, ExitCodesOfNormalEndsAndSignals) {
  struct Case {
    const char* command;
    int code;
  } cases[] = {
      {"sh -c \"exit 0\"", 0},
      {"sh -c \"exit 3\"", 3},
      {"sh -c \"exit 255\"", 255},
      {"sh -c \"kill -TERM $$\"", 128 + SIGTERM},
  };
  for (const Case& c : cases) {
    ChildProcess process(true);
    ASSERT_TRUE(process.Start(std::string(c.command), true)) << c.command;
    int code = -5;
    process.ReadOutput(true, &code);
    EXPECT_EQ(code, c.code) << c.command;
    int again = -5;
    EXPECT_TRUE(process.GetExitCode(&again));
    EXPECT_EQ(again, c.code) << "the code stays readable after the child was collected";
  }
}

TEST(ChildProcess, ARunningChildReadsStillActiveAndWaitingCollectsTheRest) {
  ChildProcess process(true);
  ASSERT_TRUE(process.Start(std::string("sh -c \"echo first; sleep 0.5; echo second\""), true));
  int code = 0;
  std::string early;
  ASSERT_TRUE(Eventually([&] {
    early += process.ReadOutput(false, &code);
    return early.find("first") != std::string::npos;
  }));
  EXPECT_EQ(code, kStillActive);
  EXPECT_TRUE(process.GetExitCode(&code));
  EXPECT_EQ(code, kStillActive);
  const std::string rest = process.ReadOutput(true, &code);
  EXPECT_EQ(code, 0);
  EXPECT_EQ(rest, "second\n");
}

TEST(ChildProcess, OutputAndErrorsShareOnePipeAndTheLastWordsAreKept) {
  ChildProcess both(true);
  ASSERT_TRUE(both.Start(std::string("sh -c \"echo out; echo err >&2\""), true));
  int code = -1;
  EXPECT_EQ(both.ReadOutput(true, &code), "out\nerr\n");
  // A child that writes and ends at once: what it wrote last is in the pipe after it ended.
  for (int i = 0; i < 20; ++i) {
    ChildProcess quick(true);
    ASSERT_TRUE(quick.Start(std::string("printf tail-") + std::to_string(i), true));
    EXPECT_EQ(quick.ReadOutput(true, &code), "tail-" + std::to_string(i));
    EXPECT_EQ(code, 0);
  }
}

TEST(ChildProcess, LargeOutputNeitherDeadlocksNorGrowsWithoutBound) {
  // 40 MB: far beyond any pipe buffer, so the child blocks unless we keep reading.
  ChildProcess process(true);
  ASSERT_TRUE(process.Start(
      std::string("sh -c \"head -c 40000000 /dev/zero | tr '\\000' a; echo; echo the-end\""),
      true));
  const auto start = Clock::now();
  int code = -1;
  const std::string output = process.ReadOutputFor(60000, &code);
  EXPECT_EQ(code, 0);
  EXPECT_LT(SecondsSince(start), 60.0);
  EXPECT_LE(output.size(), kOutputHeadBytes + kOutputTailBytes + 100);
  EXPECT_EQ(output.substr(0, 10), "aaaaaaaaaa");
  EXPECT_NE(output.find("bytes of output left out"), std::string::npos);
  EXPECT_EQ(output.substr(output.size() - 9), "\nthe-end\n") << "the end of the output is kept";
}

TEST(ChildProcess, AZeroByteEndsTheTextOfItsRead) {
  ChildProcess process(true);
  ASSERT_TRUE(process.Start(std::string("printf \"abc\\000def\""), true));
  int code = -1;
  EXPECT_EQ(process.ReadOutput(true, &code), "abc");
}

TEST(ChildProcess, ATimeLimitEndsTheWaitButNotTheChild) {
  ChildProcess process(true);
  ASSERT_TRUE(process.Start(std::string("sleep 30"), true));
  const auto start = Clock::now();
  int code = 0;
  process.ReadOutputFor(300, &code);
  EXPECT_EQ(code, kStillActive);
  EXPECT_LT(SecondsSince(start), 2.0);
  EXPECT_TRUE(Alive(process.ProcessId()));
}

TEST(ChildProcess, CloseKillsARunningChildWhenAsked) {
  pid_t pid = 0;
  {
    ChildProcess process(true);
    ASSERT_TRUE(process.Start(std::string("sleep 30"), true));
    pid = process.ProcessId();
    ASSERT_TRUE(Alive(pid));
  }  // the destructor closes
  EXPECT_TRUE(Gone(pid)) << "killed and collected, no zombie left";

  ChildProcess reused(true);
  ASSERT_TRUE(reused.Start(std::string("sleep 30"), true));
  const pid_t first = reused.ProcessId();
  ASSERT_TRUE(reused.Start(std::string("sleep 30"), true));  // a new start closes the old child
  EXPECT_TRUE(Gone(first));
  reused.Close();
  int code = 0;
  EXPECT_FALSE(reused.GetExitCode(&code));
}

TEST(ChildProcess, WithoutKillOnCloseTheChildLivesOnAndIsCollectedLater) {
  ChildProcess process(false);
  ASSERT_TRUE(process.Start(std::string("sleep 0.5"), false));
  const pid_t pid = process.ProcessId();
  process.Close();
  EXPECT_TRUE(Alive(pid));
  EXPECT_TRUE(Eventually([&] { return Gone(pid); })) << "no zombie once it ended";
}

TEST(ChildProcess, FailuresToStartAndReadsWithoutAChild) {
  ChildProcess process(true);
  EXPECT_FALSE(process.Start(std::string("zerva-no-such-program-xyz"), true));
  EXPECT_FALSE(process.Start(std::string("/nonexistent/folder/program"), true));
  EXPECT_FALSE(process.Start(std::string(""), true));
  int code = 0;
  EXPECT_EQ(process.ReadOutput(true, &code), "");
  EXPECT_EQ(code, -1);
  EXPECT_FALSE(process.GetExitCode(&code));
}

TEST(ChildProcess, ValuesFromOutsideStayOneArgumentEach) {
  test::TempDir dir;
  const std::string echo =
      test::WriteScript(dir.File("args.sh"), "for a in \"$@\"; do printf '[%s]' \"$a\"; done");
  const std::string hostile = "x\" -y \"/home/me/notes.txt";
  ChildProcess process(true);
  ASSERT_TRUE(process.Start(CommandBuilder()
                                .Quoted(echo)
                                .Text(" -i ")
                                .Quoted(hostile)
                                .Text(" -c:v ")
                                .Word("libx264 -f null")
                                .Text("  -vf \"vflip,hflip\" ")
                                .Word("")
                                .Build(),
                            true));
  int code = -1;
  EXPECT_EQ(process.ReadOutput(true, &code),
            "[-i][" + hostile + "][-c:v][libx264 -f null][-vf][vflip,hflip][]");
  EXPECT_EQ(process.CommandLine(),
            "\"" + echo + "\" -i \"" + hostile + "\" -c:v libx264 -f null  -vf \"vflip,hflip\" ");
}

TEST(ChildProcess, TheChildGetsAnEmptyInputAndDefaultSignals) {
  // `cat` ends at once on an empty input instead of waiting for a terminal.
  ChildProcess cat(true);
  ASSERT_TRUE(cat.Start(std::string("cat"), true));
  int code = -1;
  EXPECT_EQ(cat.ReadOutputFor(5000, &code), "");
  EXPECT_EQ(code, 0);
  // Ignored SIGPIPE here must not be ignored in the child.
  struct sigaction ignore {};
  ignore.sa_handler = SIG_IGN;
  struct sigaction old {};
  ::sigaction(SIGPIPE, &ignore, &old);
  ChildProcess shell(true);
  ASSERT_TRUE(shell.Start(std::string("sh -c \"grep SigIgn /proc/self/status\""), true));
  const std::string status = shell.ReadOutput(true, &code);
  ::sigaction(SIGPIPE, &old, nullptr);
  const unsigned long ignored = std::stoul(status.substr(status.find(':') + 1), nullptr, 16);
  EXPECT_EQ(ignored & (1ul << (SIGPIPE - 1)), 0ul) << status;
}

TEST(CommandBuilder, SplitsProgramTextAndKeepsTheText) {
  EXPECT_EQ(SplitCommandLine("ffmpeg -i \"a b.mp4\"  -vf \"transpose=1\" \"\""),
            (std::vector<std::string>{"ffmpeg", "-i", "a b.mp4", "-vf", "transpose=1", ""}));
  EXPECT_EQ(SplitCommandLine("   "), std::vector<std::string>{});
  EXPECT_EQ(CommandNumber(2.5, 5, 2), " 2.50");
  EXPECT_EQ(CommandNumber(123.456, 5, 2), "123.46");
  EXPECT_EQ(CommandNumber(0.1234, 5, 3), "0.123");
}

}  // namespace
}  // namespace zerva
