#include "server/server_options.h"

#include <arpa/inet.h>

#include <cctype>
#include <cstdlib>

#include "app/version.h"
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

// A numeric address only: a host name could stand for several, and only the first would be used.
bool ValidListenAddress(std::string* address) {
  if (address->size() > 2 && address->front() == '[' && address->back() == ']') {
    *address = address->substr(1, address->size() - 2);
  }
  unsigned char buffer[16];
  return ::inet_pton(AF_INET, address->c_str(), buffer) == 1 ||
         ::inet_pton(AF_INET6, address->c_str(), buffer) == 1;
}

// "https://photos.example.org[:port][/]": the scheme and port; the host is checked by the caller.
bool ParsePublicUrl(const std::string& url, ServerOptions* options, std::string* host) {
  std::string rest;
  if (url.rfind("http://", 0) == 0) {
    options->publicScheme = "http";
    rest = url.substr(7);
  } else if (url.rfind("https://", 0) == 0) {
    options->publicScheme = "https";
    rest = url.substr(8);
  } else {
    return false;
  }
  if (!rest.empty() && rest.back() == '/') rest.pop_back();
  const size_t colon = rest.find(':');
  *host = ToLower(rest.substr(0, colon));
  options->publicPort = options->publicScheme == "https" ? 443 : 80;
  if (colon != std::string::npos) {
    long long port = 0;
    if (!ParseInt64(rest.substr(colon + 1), &port) || port < 1 || port > 65535) return false;
    options->publicPort = static_cast<int>(port);
  }
  return !host->empty();
}

}  // namespace

HelpDoc ServerHelp() {
  HelpDoc doc;
  doc.name = "zerva-server";
  doc.summary = "a small photo-album service for zerva and zerva-cli";
  doc.header = ProgramVersionLine("zerva-server");
  doc.usage = {"zerva-server [OPTIONS]", "zerva-server --help | --version"};
  doc.sections.push_back(Section(
      "",
      {Paragraph({"Serves the photo-album service that zerva and zerva-cli talk to: accounts, "
                  "albums, uploads, the albums' web pages. Its data is one SQLite database and a "
                  "folder of files. It stops on SIGINT or SIGTERM."})}));
  doc.sections.push_back(Section(
      "Options",
      {Table({{"--port N", {"the port to listen on (default 8380; 0 picks a free one)"}},
              {"--listen ADDRESS",
               {"the address to listen on: 127.0.0.1 (the default) serves this machine",
                "only; 0.0.0.0 every IPv4 interface, :: every interface, or one address",
                "such as 192.168.1.20 or ::1"}},
              {"--data DIR",
               {"the data folder: zerva.db and files/ (default",
                "$XDG_DATA_HOME/zerva-server, ~/.local/share/zerva-server)"}},
              {"--domain NAME",
               {"the service's domain (default zerva.localhost); the service answers",
                "www.NAME, api.NAME, download.NAME and USER.NAME"}},
              {"--public-url URL",
               {"the service's address as its users see it, when a reverse proxy serves",
                "it: https://NAME or https://NAME:PORT (NAME as --domain, or www.NAME);",
                "the albums' addresses use its scheme and port"}},
              {"--seed-demo",
               {"add the demo accounts demo/demo and vip/vip, the demo categories and",
                "a demo album (safe to repeat)"}},
              {"--ready-file PATH", {"write the port to PATH once the service listens"}},
              {"--threads N", {"the number of connections served at once (2 to 256, default 16)"}},
              {"--help, -h", {"this text"}},
              {"--version", {"the program's name and version"}}})}));
  doc.sections.push_back(Section(
      "Examples",
      {Commands({"zerva-server --seed-demo --data /tmp/zerva-data",
                 "zerva-server --data /srv/zerva --domain photos.example.org --listen 0.0.0.0",
                 "zerva-server --data /srv/zerva --domain photos.example.org \\",
                 "             --public-url https://photos.example.org"})}));
  doc.sections.push_back(ManualSection(
      "Files",
      {Table({{"DIR/zerva.db",
               {"the accounts and albums (SQLite; zerva.db-wal and zerva.db-shm beside",
                "it while it runs); back it up with sqlite3 DIR/zerva.db \".backup FILE\""}},
              {"DIR/files/", {"the uploaded photos and videos, one folder per account"}}})}));
  doc.sections.push_back(ManualSection("See also", {Paragraph({"zerva(1), zerva-cli(1)"})}));
  return doc;
}

std::string ServerUsage() {
  return RenderHelpText(ServerHelp());
}

std::string ListenUrl(const std::string& address, int port) {
  const bool v6 = address.find(':') != std::string::npos;
  return "http://" + (v6 ? "[" + address + "]" : address) + ":" + std::to_string(port) + "/";
}

bool ParseServerArgs(int argc, const char* const* argv, ServerOptions* options,
                     ServerAction* action, std::string* error) {
  *action = ServerAction::kRun;
  std::string publicUrl;
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
      *action = ServerAction::kHelp;
      return true;
    } else if (arg == "--version") {
      *action = ServerAction::kVersion;
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
      if (!ValidListenAddress(&options->listenAddress)) {
        *error = "--listen: not an IP address: " + options->listenAddress;
        return false;
      }
    } else if (arg == "--public-url") {
      if (!value(&publicUrl)) return false;
    } else if (arg == "--ready-file") {
      if (!value(&options->readyFile)) return false;
    } else if (arg == "--seed-demo") {
      options->seedDemo = true;
    } else {
      *error = "unknown argument: " + arg;
      return false;
    }
  }
  if (!publicUrl.empty()) {
    // The service answers by the host's name, so an address of another name would lead nowhere.
    std::string host;
    if (!ParsePublicUrl(publicUrl, options, &host) ||
        (host != options->domain && host != "www." + options->domain)) {
      *error = "--public-url: not http:// or https:// with the host " + options->domain +
               " and an optional port: " + publicUrl;
      return false;
    }
  }
  if (options->dataDir.empty()) options->dataDir = DefaultDataDir();
  return true;
}

}  // namespace zerva::server
