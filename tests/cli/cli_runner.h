// zerva-cli as a real process: an installation of its own (the executable with the language
// files and an ini file that points at a server), a fresh home for its settings and trace log,
// and runs with a chosen stdin, captured output and a time limit.
#pragma once

#include <sys/types.h>

#include <memory>
#include <string>
#include <vector>

#include "support/server_fixture.h"
#include "support/shared_server_test.h"
#include "support/temp_dir.h"

namespace zerva::test {

struct CliRun {
  int status = -1;  // the exit status; -1 when it did not exit normally
  std::string out;
  std::string err;
  bool timedOut = false;
};

enum class CliStdin { kDevNull, kClosed, kText };

class CliInstall {
 public:
  // `domain` ("host:port/") goes into zerva_proxy_setting.ini; none when empty.
  explicit CliInstall(const std::string& domain);

  CliRun Run(const std::vector<std::string>& args, CliStdin stdinKind = CliStdin::kDevNull,
             const std::string& input = "", int timeoutSeconds = 60) const;

  // Starts zerva-cli with `args` in its home, output to `logFile`, without waiting: for tests
  // that need its process id. The caller collects it.
  pid_t Start(const std::vector<std::string>& args, const std::string& logFile) const;

  std::string Executable() const { return folder_.Path() + "zerva-cli"; }
  std::string TraceLog() const;
  std::string SettingsText() const;
  const TempDir& Home() const { return home_; }

 private:
  TempDir folder_;
  TempDir home_;
};

// A new account "<prefix><pid>n<count>" with the password "secret".
std::string NewAccount(const ServerFixture& server, const std::string& prefix);
// CreateAlbum for the account; the new album's identifier.
std::string CreateAlbum(const ServerFixture& server, const std::string& user,
                        const std::string& name, const std::string& serverDir);

std::vector<std::string> Lines(const std::string& text);

// Every test signs in with an account of its own, which has two albums: the sign-in lock is
// system-wide, and tests may run in parallel processes.
class CliProcessTest : public SharedServerTest {
 protected:
  void SetUp() override;
  // zerva-cli signed in as the test's account.
  CliRun User(std::vector<std::string> args, CliStdin in = CliStdin::kDevNull,
              const std::string& input = "");

  std::unique_ptr<CliInstall> cli_;
  std::string user_;
  // "Summer in the mountains" (folder "Summer"), then "By the sea" (folder "Sea").
  std::vector<std::string> albumIds_;
};

}  // namespace zerva::test
