// zerva-updater INSTRUCTIONS [--wait-pid=PID]  (see UpdaterHelp())
//
// Reads the instruction file the update check wrote ("updater.xml"), waits for the client to
// end, unpacks each archive into its target folder (never outside it) and starts the program
// named in <run>. Exit status 0 when everything was installed.
#include <signal.h>
#include <spawn.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "app/trace.h"
#include "platform/fs.h"
#include "update/unpack_archive.h"
#include "update/update_description.h"
#include "update/updater_help.h"

extern char** environ;

namespace {

constexpr int kWaitSeconds = 120;

// The client may still be replacing its own files on the way out; give it time, then go on.
void WaitForProcess(pid_t pid) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(kWaitSeconds);
  while (pid > 0 && ::kill(pid, 0) == 0 && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
}

bool StartProgram(const std::string& path) {
  std::vector<std::string> args = {path};
  std::vector<char*> argv = {args[0].data(), nullptr};
  posix_spawnattr_t attributes;
  posix_spawnattr_init(&attributes);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  pid_t pid = -1;
  const int rc = posix_spawn(&pid, path.c_str(), nullptr, &attributes, argv.data(), environ);
  posix_spawnattr_destroy(&attributes);
  return rc == 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::string instructionsPath;
  pid_t waitPid = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--help" || arg == "-h") {
      std::fputs(zerva::RenderHelpText(zerva::UpdaterHelp()).c_str(), stdout);
      return 0;
    }
    if (arg == "--version") {
      std::puts(zerva::UpdaterHelp().header.c_str());
      return 0;
    }
    if (arg.rfind("--wait-pid=", 0) == 0) {
      waitPid = static_cast<pid_t>(std::atol(arg.c_str() + 11));
    } else if (instructionsPath.empty()) {
      instructionsPath = arg;
    }
  }
  if (instructionsPath.empty()) {
    std::fprintf(stderr,
                 "usage: zerva-updater INSTRUCTIONS [--wait-pid=PID]\n"
                 "Try 'zerva-updater --help'.\n");
    return 2;
  }
  std::string text;
  std::vector<zerva::UpdaterInstruction> files;
  std::string run;
  if (!zerva::ReadFileBounded(instructionsPath, 1 << 20, &text) ||
      !zerva::ParseUpdaterXml(text, &files, &run)) {
    std::fprintf(stderr, "zerva-updater: cannot read %s\n", instructionsPath.c_str());
    return 3;
  }
  WaitForProcess(waitPid);
  bool ok = true;
  for (const zerva::UpdaterInstruction& file : files) {
    if (!zerva::UnpackArchive(file.source, zerva::WithTrailingSlash(file.target))) {
      std::fprintf(stderr, "zerva-updater: cannot unpack %s into %s\n", file.source.c_str(),
                   file.target.c_str());
      zerva::TraceText(zerva::kTraceError, "zerva-updater: cannot unpack " + file.source);
      ok = false;
    }
  }
  if (!run.empty() && !StartProgram(run)) {
    std::fprintf(stderr, "zerva-updater: cannot start %s\n", run.c_str());
    ok = false;
  }
  return ok ? 0 : 1;
}
