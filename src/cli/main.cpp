// zerva-cli: the headless front end. It runs the application's start-up and shutdown like the
// window does, with a verb in place of the window.
#include <cstdio>
#include <string>
#include <vector>

#include "app/version.h"
#include "cli/cli_args.h"
#include "cli/cli_help.h"
#include "cli/cli_run.h"
#include "cli/cli_status.h"

int main(int argc, char** argv) {
  using namespace zerva::cli;
  const std::vector<std::string> args(argv + 1, argv + argc);
  CliArgs parsed;
  std::string error;
  if (!ParseCliArgs(args, &parsed, &error)) {
    std::fprintf(stderr, "zerva-cli: %s\nTry 'zerva-cli --help'.\n", error.c_str());
    return kExitUsage;
  }
  if (parsed.help) {
    std::fputs(HelpText().c_str(), stdout);
    return kExitOk;
  }
  if (parsed.version) {
    std::printf("%s\n", zerva::VersionLine().c_str());
    return kExitOk;
  }
  return RunCli(parsed);
}
