// Runs an external program (ffmpeg, ffplay) as a child process and collects what it writes to
// its standard output and standard error through one pipe.
#pragma once

#include <sys/types.h>

#include <string>

#include "media/process_command.h"

namespace zerva {

// The exit code that reads "still running".
inline constexpr int kStillActive = 259;

// What one collecting call keeps of a child's output: the beginning up to this many bytes ...
inline constexpr size_t kOutputHeadBytes = 1024 * 1024;
// ... and the latest bytes after it, with a note of how much was left out in between. A damaged
// file can make ffmpeg write warnings without end; memory must not follow.
inline constexpr size_t kOutputTailBytes = 256 * 1024;

class ChildProcess {
 public:
  // With `killOnClose`, a child still running when the object is closed is killed; without it
  // the child goes on alone (a player window the user closes).
  explicit ChildProcess(bool killOnClose);
  virtual ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  // Starts the command; an earlier child of this object is closed first. A program named without
  // a folder is found like the video tools: in the program folder next to its ".ver" file, else
  // on PATH. With pipes the child's output and errors go to one pipe for ReadOutput; without,
  // they go to /dev/null (a player run in the background must not write into the caller's
  // terminal). The child's input is always empty, so a question it asks finds no answer instead
  // of waiting for one. There are no console windows here, so `windowTitle` is not used. False
  // when the program cannot be found or started.
  bool Start(const ProcessCommand& command, bool withPipes, const std::string& windowTitle = {});
  // The same for a command text the program wrote itself (SplitCommandLine).
  bool Start(const std::string& commandLine, bool withPipes, const std::string& windowTitle = {});

  // The output collected in this call. With `wait` it returns once the child has ended (the
  // output it wrote last included); without, it takes what is waiting now. `exitCode` gets the
  // child's exit code, kStillActive while it runs, 128 + the signal number when a signal ended
  // it, -1 when there is no child.
  std::string ReadOutput(bool wait, int* exitCode);
  // As ReadOutput with `wait`, but returns after `timeoutMs` at the latest; `exitCode` then reads
  // kStillActive when the child still runs.
  std::string ReadOutputFor(int timeoutMs, int* exitCode);

  // Closes the pipe; a child still running is killed when `killOnClose` is set, otherwise left
  // running (and reaped in the background once it ends).
  void Close();

  // False when there is no child or the system query fails (written to the trace log).
  bool GetExitCode(int* exitCode);

  const std::string& CommandLine() const { return commandLine_; }
  pid_t ProcessId() const { return pid_; }

 private:
  std::string Collect(bool wait, int timeoutMs, int* exitCode);
  void ClosePipes();

  std::string commandLine_;
  int outputRead_ = -1;  // the child's output pipe, our end
  bool outputEnded_ = false;
  pid_t pid_ = 0;
  bool reaped_ = false;
  int exitCode_ = kStillActive;
  bool killOnClose_;
};

}  // namespace zerva
