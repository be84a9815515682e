// Command line of zerva-server.
#pragma once

#include <string>

#include "app/help_doc.h"

namespace zerva::server {

struct ServerOptions {
  int port = 8380;                          // 0: any free port (see readyFile)
  std::string listenAddress = "127.0.0.1";  // an IPv4 or IPv6 address; 0.0.0.0 or :: for all
  std::string dataDir;                      // default: $XDG_DATA_HOME/zerva-server
  std::string domain = "zerva.localhost";
  bool seedDemo = false;
  std::string readyFile;  // receives the port once the server listens
  int threads = 16;
  // How the service's addresses look to its users, when a reverse proxy serves it: the scheme,
  // and the port (0: the one it listens on). Set by --public-url.
  std::string publicScheme = "http";
  int publicPort = 0;
};

enum class ServerAction { kRun, kHelp, kVersion };

// The switches ServerHelp() lists. False with `error` set on a bad argument; `action` tells
// whether to serve or only to print the help text or the version.
bool ParseServerArgs(int argc, const char* const* argv, ServerOptions* options,
                     ServerAction* action, std::string* error);
HelpDoc ServerHelp();
std::string ServerUsage();
// "http://127.0.0.1:8380/", "http://[::1]:8380/".
std::string ListenUrl(const std::string& address, int port);

}  // namespace zerva::server
