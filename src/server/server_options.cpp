#include "server/server_options.h"

#include <cctype>
#include <cstdlib>

#include "server/names.h"

namespace zerva::server {
namespace {

std::string DefaultDataDir() {
  const char* xdg = std::getenv("XDG_DATA_HOME");
  if (xdg && *xdg) return std::string(xdg) + "/zerva-server";
  const char* home = std::getenv("HOME");
  return std::string(home && *home ? home : ".") + "/.local/share/zerva-server";
}

bool ValidDomain(const std::string& domain) {
  if (domain.empty() || domain.size() > 200 || domain.front() == '.' || domain.back() == '.')
    return false;
  for (unsigned char c : domain) {
    if (!(std::isalnum(c) || c == '-' || c == '.')) return false;
  }
  return true;
}

}  // namespace

std::string ServerUsage() {
  return "usage: zerva-server [--port N] [--data DIR] [--domain NAME] [--listen ADDR]\n"
         "                    [--seed-demo] [--ready-file PATH] [--threads N]\n";
}

bool ParseServerArgs(int argc, const char* const* argv, ServerOptions* options, bool* help,
                     std::string* error) {
  *help = false;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string* out) {
      if (i + 1 >= argc) {
        *error = arg + " needs a value";
        return false;
      }
      *out = argv[++i];
      return true;
    };
    auto number = [&](int* out, long long low, long long high) {
      std::string text;
      long long n = 0;
      if (!value(&text)) return false;
      if (!ParseInt64(text, &n) || n < low || n > high) {
        *error = arg + ": bad number " + text;
        return false;
      }
      *out = static_cast<int>(n);
      return true;
    };
    if (arg == "--help" || arg == "-h") {
      *help = true;
      return true;
    } else if (arg == "--port") {
      if (!number(&options->port, 0, 65535)) return false;
    } else if (arg == "--threads") {
      if (!number(&options->threads, 2, 256)) return false;
    } else if (arg == "--data") {
      if (!value(&options->dataDir)) return false;
    } else if (arg == "--domain") {
      if (!value(&options->domain)) return false;
      options->domain = ToLower(options->domain);
      if (!ValidDomain(options->domain)) {
        *error = "--domain: not a host name: " + options->domain;
        return false;
      }
    } else if (arg == "--listen") {
      if (!value(&options->listenAddress)) return false;
    } else if (arg == "--ready-file") {
      if (!value(&options->readyFile)) return false;
    } else if (arg == "--seed-demo") {
      options->seedDemo = true;
    } else {
      *error = "unknown argument: " + arg;
      return false;
    }
  }
  if (options->dataDir.empty()) options->dataDir = DefaultDataDir();
  return true;
}

}  // namespace zerva::server
