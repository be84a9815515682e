// Child processes for tests: start a program with its output in a file, stop it again.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace zerva::test {

// Starts `args[0]` with stdout and stderr going to `logFile`; -1 when it cannot be started.
pid_t SpawnLogged(const std::vector<std::string>& args, const std::string& logFile);
// SIGTERM, then SIGKILL after `graceSeconds`; the exit status, or -1 when killed or not running.
int StopProcess(pid_t pid, int graceSeconds = 15);
// A loopback TCP port that was free a moment ago.
int FreeLoopbackPort();
// Whether something accepts connections on the loopback port.
bool PortAcceptsConnections(int port);

}  // namespace zerva::test
