// Command line of zerva-server.
#pragma once

#include <string>

namespace zerva::server {

struct ServerOptions {
  int port = 8380;  // 0: any free port (see readyFile)
  std::string listenAddress = "127.0.0.1";
  std::string dataDir;  // default: $XDG_DATA_HOME/zerva-server
  std::string domain = "zerva.localhost";
  bool seedDemo = false;
  std::string readyFile;  // receives the port once the server listens
  int threads = 16;
};

// zerva-server [--port N] [--data DIR] [--domain NAME] [--listen ADDR] [--seed-demo]
//              [--ready-file PATH] [--threads N]
// False with `error` set on a bad argument; `help` set for --help.
bool ParseServerArgs(int argc, const char* const* argv, ServerOptions* options, bool* help,
                     std::string* error);
std::string ServerUsage();

}  // namespace zerva::server
