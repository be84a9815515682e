// zerva-server: the stand-in photo-album service.
#include <signal.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "server/server.h"

int main(int argc, char** argv) {
  using zerva::server::ServerOptions;
  ServerOptions options;
  zerva::server::ServerAction action = zerva::server::ServerAction::kRun;
  std::string error;
  if (!zerva::server::ParseServerArgs(argc, argv, &options, &action, &error)) {
    std::fprintf(stderr, "zerva-server: %s\nTry 'zerva-server --help'.\n", error.c_str());
    return 2;
  }
  if (action == zerva::server::ServerAction::kHelp) {
    std::fputs(zerva::server::ServerUsage().c_str(), stdout);
    return 0;
  }
  if (action == zerva::server::ServerAction::kVersion) {
    std::puts(zerva::server::ServerHelp().header.c_str());
    return 0;
  }

  // The listener threads inherit this mask, so only sigwait below sees the stop signals.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGINT);
  sigaddset(&stopSignals, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);
  signal(SIGPIPE, SIG_IGN);

  zerva::server::ZervaServer server(options);
  if (!server.Init(&error) || !server.Start(&error)) {
    std::fprintf(stderr, "zerva-server: %s\n", error.c_str());
    return 1;
  }
  std::printf("zerva-server listening on %s (domain %s, data %s)\n",
              zerva::server::ListenUrl(options.listenAddress, server.port()).c_str(),
              options.domain.c_str(), options.dataDir.c_str());
  std::fflush(stdout);
  if (!options.readyFile.empty()) {
    // Written whole under a temporary name, so a reader never sees half a number.
    const std::string tmp = options.readyFile + ".tmp";
    {
      std::ofstream out(tmp);
      out << server.port() << "\n";
    }
    std::rename(tmp.c_str(), options.readyFile.c_str());
  }

  int signal = 0;
  sigwait(&stopSignals, &signal);
  server.Stop();
  server.Wait();
  return 0;
}
