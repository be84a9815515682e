// zerva-server's command line: the listening address, and the help text that lists the switches.
#include "server/server_options.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <map>
#include <string>
#include <vector>

#include "server/service.h"

namespace zerva::server {
namespace {

struct Parsed {
  bool ok = false;
  ServerOptions options;
  ServerAction action = ServerAction::kRun;
  std::string error;
};

Parsed Parse(std::initializer_list<std::string> args) {
  std::vector<const char*> argv{"zerva-server"};
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  Parsed parsed;
  parsed.ok = ParseServerArgs(static_cast<int>(argv.size()), argv.data(), &parsed.options,
                              &parsed.action, &parsed.error);
  return parsed;
}

TEST(ServerOptions, ListensOnLoopbackUnlessAnAddressIsGiven) {
  EXPECT_EQ(Parse({}).options.listenAddress, "127.0.0.1");
  for (const char* address : {"0.0.0.0", "::", "::1", "192.168.1.20", "fd00::2"}) {
    const Parsed parsed = Parse({"--listen", address});
    EXPECT_TRUE(parsed.ok) << address << ": " << parsed.error;
    EXPECT_EQ(parsed.options.listenAddress, address);
  }
  // The bracketed form of an URL is taken as well.
  EXPECT_EQ(Parse({"--listen", "[::1]"}).options.listenAddress, "::1");
  for (const char* bad : {"", "localhost", "example.org", "1.2.3", "256.1.1.1", "[::1", "::1]",
                          "[]", "127.0.0.1:8380", "127.0.0.1 ", "::g"}) {
    const Parsed parsed = Parse({"--listen", bad});
    EXPECT_FALSE(parsed.ok) << "'" << bad << "'";
    EXPECT_EQ(parsed.error, "--listen: not an IP address: " + std::string(bad));
  }
  EXPECT_EQ(Parse({"--listen"}).error, "--listen needs a value");
}

TEST(ServerOptions, ListenUrlPutsAnIpv6AddressInBrackets) {
  EXPECT_EQ(ListenUrl("127.0.0.1", 8380), "http://127.0.0.1:8380/");
  EXPECT_EQ(ListenUrl("::1", 80), "http://[::1]:80/");
  EXPECT_EQ(ListenUrl("::", 8380), "http://[::]:8380/");
}

TEST(ServerOptions, HelpAndVersionAreRequestsNotErrors) {
  EXPECT_EQ(Parse({"--port", "1", "--help"}).action, ServerAction::kHelp);
  EXPECT_EQ(Parse({"-h"}).action, ServerAction::kHelp);
  EXPECT_EQ(Parse({"--version"}).action, ServerAction::kVersion);
  EXPECT_EQ(Parse({"--seed-demo"}).action, ServerAction::kRun);
  EXPECT_FALSE(Parse({"--verbose"}).ok);
}

TEST(ServerOptions, PublicUrlGivesTheAddressesTheProxysSchemeAndPort) {
  struct Case {
    std::string url;
    std::string albumUrl;
  };
  for (const Case& c :
       {Case{"https://photos.example.org", "https://anna.photos.example.org/trip/"},
        Case{"https://www.Photos.example.org:8443/", "https://anna.photos.example.org:8443/trip/"},
        Case{"http://photos.example.org:80", "http://anna.photos.example.org/trip/"},
        Case{"http://photos.example.org:443", "http://anna.photos.example.org:443/trip/"}}) {
    // The URL may come before --domain.
    const Parsed parsed =
        Parse({"--public-url", c.url, "--domain", "photos.example.org", "--port", "8380"});
    ASSERT_TRUE(parsed.ok) << c.url << ": " << parsed.error;
    Service service(parsed.options);
    service.SetPort(8380);
    EXPECT_EQ(service.AlbumUrl("Anna", "trip"), c.albumUrl) << c.url;
  }
  // Without it the addresses name the port the service listens on, plain http.
  Service plain(Parse({"--domain", "photos.example.org"}).options);
  plain.SetPort(8380);
  EXPECT_EQ(plain.ServiceRootUrl(), "http://www.photos.example.org:8380/");
  plain.SetPort(80);
  EXPECT_EQ(plain.ServiceRootUrl(), "http://www.photos.example.org/");

  for (const char* bad :
       {"photos.example.org", "ftp://photos.example.org", "https://", "https://other.example.org",
        "https://photos.example.org:0", "https://photos.example.org:70000",
        "https://photos.example.org:x", "https://anna.photos.example.org"}) {
    const Parsed parsed = Parse({"--domain", "photos.example.org", "--public-url", bad});
    EXPECT_FALSE(parsed.ok) << bad;
    EXPECT_NE(parsed.error.find("--public-url"), std::string::npos) << parsed.error;
  }
}

// Every switch the help text lists is one the parser takes, with a value of the kind named.
TEST(ServerOptions, EverySwitchOfTheHelpIsParsed) {
  const std::map<std::string, std::string> samples = {
      {"N", "8"},         {"DIR", "/tmp/zerva-data"}, {"NAME", "photos.example.org"},
      {"ADDRESS", "::1"}, {"PATH", "/tmp/ready"},     {"URL", "https://zerva.localhost"}};
  const std::string help = ServerUsage();
  int listed = 0;
  for (const HelpSection& section : ServerHelp().sections) {
    if (section.title != "Options") continue;
    for (const HelpBlock& block : section.blocks) {
      for (const HelpEntry& entry : block.entries) {
        // "--help, -h" names two switches; "--port N" one with its value.
        std::string term = entry.term;
        size_t start = 0;
        while (start < term.size()) {
          size_t end = term.find(", ", start);
          if (end == std::string::npos) end = term.size();
          const std::string one = term.substr(start, end - start);
          start = end + 2;
          const size_t blank = one.find(' ');
          const std::string name = one.substr(0, blank);
          std::vector<std::string> args{name};
          if (blank != std::string::npos) {
            ASSERT_TRUE(samples.count(one.substr(blank + 1))) << one;
            args.push_back(samples.at(one.substr(blank + 1)));
          }
          std::vector<const char*> argv{"zerva-server"};
          for (const std::string& arg : args) argv.push_back(arg.c_str());
          ServerOptions options;
          ServerAction action;
          std::string error;
          EXPECT_TRUE(ParseServerArgs(static_cast<int>(argv.size()), argv.data(), &options, &action,
                                      &error))
              << one << ": " << error;
          EXPECT_NE(help.find(" " + name), std::string::npos) << name;
          ++listed;
        }
      }
    }
  }
  EXPECT_EQ(listed, 11);
}

}  // namespace
}  // namespace zerva::server
