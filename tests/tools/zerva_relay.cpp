// zerva-relay: the tests' slow-link relay as a program, for whole-program runs where curl and
// zerva-cli must go through the same link. Runs until SIGTERM or SIGINT, then prints what it
// carried.
#include <signal.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "support/relay.h"

namespace {

void Usage() {
  std::fprintf(stderr,
               "usage: zerva-relay --target PORT [--port N] [--delay-ms MS] [--rate-bits N]\n"
               "                   [--ready-file PATH]\n"
               "  --delay-ms   added in each direction (a round trip gains twice as much)\n"
               "  --rate-bits  bits per second of each direction, shared by all connections\n");
}

bool Number(const char* text, long long low, long long* out) {
  char* end = nullptr;
  const long long value = std::strtoll(text, &end, 10);
  if (end == text || *end != '\0' || value < low) return false;
  *out = value;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  long long target = 0, port = 0, delay = 0, rate = 0;
  std::string readyFile;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (i + 1 >= argc) {
      Usage();
      return 2;
    }
    const char* value = argv[++i];
    bool ok = true;
    if (arg == "--target") {
      ok = Number(value, 1, &target) && target <= 65535;
    } else if (arg == "--port") {
      ok = Number(value, 0, &port) && port <= 65535;
    } else if (arg == "--delay-ms") {
      ok = Number(value, 0, &delay);
    } else if (arg == "--rate-bits") {
      ok = Number(value, 0, &rate);
    } else if (arg == "--ready-file") {
      readyFile = value;
    } else {
      ok = false;
    }
    if (!ok) {
      Usage();
      return 2;
    }
  }
  if (target == 0) {
    Usage();
    return 2;
  }
  // The signals are taken by sigwait below, not by a handler.
  sigset_t stop;
  sigemptyset(&stop);
  sigaddset(&stop, SIGTERM);
  sigaddset(&stop, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stop, nullptr);

  zerva::test::RelayOptions options;
  options.oneWayDelay = std::chrono::milliseconds(delay);
  options.bitsPerSecond = rate;
  zerva::test::Relay relay(static_cast<int>(target), options);
  std::string error;
  if (!relay.Start(&error, static_cast<int>(port))) {
    std::fprintf(stderr, "zerva-relay: %s\n", error.c_str());
    return 1;
  }
  std::printf("zerva-relay: port %d to %lld, %lld ms each way, %lld bit/s\n", relay.Port(), target,
              delay, rate);
  std::fflush(stdout);
  if (!readyFile.empty()) std::ofstream(readyFile) << relay.Port() << "\n";
  int signal = 0;
  sigwait(&stop, &signal);
  relay.Stop();
  std::printf("zerva-relay: %d connections, %lld bytes up, %lld bytes down\n", relay.Connections(),
              static_cast<long long>(relay.BytesUp()), static_cast<long long>(relay.BytesDown()));
  return 0;
}
