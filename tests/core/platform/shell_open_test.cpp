// Opening pages and folders: the replaceable opener, and xdg-open started without a shell,
// detached and without waiting for it.
#include "platform/shell_open.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "support/temp_dir.h"

namespace zerva {
namespace {

using namespace std::chrono_literals;
using test::ReadWholeFile;
using test::TempDir;

// Puts `folder` in front of PATH for the life of the object.
class PathPrefix {
 public:
  explicit PathPrefix(const std::string& folder, bool only = false) {
    const char* old = std::getenv("PATH");
    old_ = old ? old : "";
    const std::string path = only ? folder : folder + ":" + old_;
    ::setenv("PATH", path.c_str(), 1);
  }
  ~PathPrefix() { ::setenv("PATH", old_.c_str(), 1); }

 private:
  std::string old_;
};

// A stand-in xdg-open that writes its arguments, one a line, to `log`, then lingers.
void WriteFakeXdgOpen(const TempDir& dir, const std::string& log) {
  const std::string script =
      dir.Write("xdg-open",
                "#!/bin/sh\n"
                "for a in \"$@\"; do printf '%s\\n' \"$a\"; done > " +
                    log + ".part\nmv " + log + ".part " + log + "\nsleep 5\n");
  ::chmod(script.c_str(), 0755);
}

std::string WaitForFile(const std::string& path) {
  for (int i = 0; i < 100; ++i) {
    const std::string text = ReadWholeFile(path);
    if (!text.empty()) return text;
    std::this_thread::sleep_for(50ms);
  }
  return {};
}

TEST(ShellOpen, ReplacedOpenerGetsTheTargetAndCanBeRestored) {
  std::vector<std::string> opened;
  const ShellOpener previous = SetShellOpener([&opened](const std::string& target) {
    opened.push_back(target);
    return true;
  });
  EXPECT_TRUE(ShellOpen("http://www.zerva.localhost:8380/heslo/"));
  EXPECT_TRUE(ShellOpen("/home/someone/Pictures"));
  EXPECT_EQ(opened, (std::vector<std::string>{"http://www.zerva.localhost:8380/heslo/",
                                              "/home/someone/Pictures"}));
  SetShellOpener(previous);
  TempDir empty;
  PathPrefix path(empty.Path(), true);
  EXPECT_FALSE(ShellOpen("http://example.com/"));  // back to xdg-open, which is not there
  EXPECT_EQ(opened.size(), 2u);
}

TEST(ShellOpen, XdgOpenGetsTheTargetVerbatimAndDoesNotBlock) {
  TempDir dir;
  const std::string log = dir.File("args.txt");
  WriteFakeXdgOpen(dir, log);
  PathPrefix path(dir.Path());
  // Characters a shell would act on arrive untouched, as one argument.
  const std::string target = "http://example.com/a b?x=1&y=$(touch " + dir.File("pwned") + ");z";
  const auto start = std::chrono::steady_clock::now();
  ASSERT_TRUE(XdgOpen(target));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);  // the fake lingers for 5 s
  EXPECT_EQ(WaitForFile(log), target + "\n");
  EXPECT_FALSE(std::ifstream(dir.File("pwned")).good());
}

TEST(ShellOpen, OptionLikeTargetsBecomePathsAndEmptyOnesAreRefused) {
  TempDir dir;
  const std::string log = dir.File("args.txt");
  WriteFakeXdgOpen(dir, log);
  PathPrefix path(dir.Path());
  ASSERT_TRUE(XdgOpen("--version"));
  EXPECT_EQ(WaitForFile(log), "./--version\n");
  EXPECT_FALSE(XdgOpen(""));
  EXPECT_FALSE(XdgOpen(std::string("a\0b", 3)));
}

}  // namespace
}  // namespace zerva
