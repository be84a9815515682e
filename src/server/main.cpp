// zerva-server: the stand-in photo-album service.
#include <signal.h>

#include <cstdio>
#include <fstream>
#include <string>

#include "server/server.h"

int main(int argc, char** argv) {
  using zerva::server::ServerOptions;
  ServerOptions options;
  bool help = false;
  std::string error;
  if (!zerva::server::ParseServerArgs(argc, argv, &options, &help, &error)) {
    std::fprintf(stderr, "zerva-server: %s\n%s", error.c_str(),
                 zerva::server::ServerUsage().c_str());
    return 2;
  }
  if (help) {
    std::fputs(zerva::server::ServerUsage().c_str(), stdout);
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
  std::printf("zerva-server listening on http://%s:%d/ (domain %s, data %s)\n",
              options.listenAddress.c_str(), server.port(), options.domain.c_str(),
              options.dataDir.c_str());
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
