#include "cli/cli_run.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/app_folders.h"
#include "app/cmd_line_info.h"
#include "app/text_utils.h"
#include "cli/cli_context.h"
#include "cli/cli_front_end.h"
#include "cli/cli_status.h"
#include "cli/cli_verbs.h"
#include "cli/upload_verbs.h"
#include "lang/text.h"
#include "platform/folders.h"
#include "platform/shell_open.h"
#include "platform/tools.h"

namespace zerva::cli {
namespace {

int TerminalWidth() {
  winsize size{};
  if (::ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) return size.ws_col;
  return 80;
}

// Whether the arguments of an unattended upload name at least one photo or video that exists,
// found out before any connection is made.
bool NamesUploadFiles(const CliArgs& args) {
  const std::string folder = ProgramFolder();
  CmdLineInfo probe([&folder] { return FindTool("ffmpeg", folder).present; });
  std::vector<const char*> argv = {"zerva-cli"};
  for (const std::string& arg : args.programArgs) argv.push_back(arg.c_str());
  probe.Parse(static_cast<int>(argv.size()), argv.data());
  return probe.FilesGiven();
}

int RunLocal(CliContext& context) {
  if (context.args.verb == Verb::kLogout) return RunLogout(context);
  if (!Localization().LoadLocal()) {
    context.dialogs.ShowPlain("Load localization error",
                              TrimEndChars(ServiceDomainName(), "/") + " | Error");
    return kExitLocalFiles;
  }
  return RunPrepare(context, context.args.outDir, context.args.operands);
}

}  // namespace

int StatusOfRun(StartupEnd end, int verbStatus) {
  switch (end) {
    case StartupEnd::kWindowClosed:
      return verbStatus;
    case StartupEnd::kUninstalled:
      return kExitOk;
    case StartupEnd::kLocalizationFailed:
      return kExitLocalFiles;
    case StartupEnd::kConnectionFailed:
      return kExitUnreachable;
    case StartupEnd::kServerMessage:
      return kExitServiceMessage;
    case StartupEnd::kUpdateFailed:
    case StartupEnd::kUpdateRunning:
      return kExitUpdate;
    case StartupEnd::kNotRun:
    case StartupEnd::kNoMainWindow:
      break;
  }
  return kExitFailed;
}

int RunCli(const CliArgs& args) {
  const bool inTerminal = ::isatty(STDIN_FILENO) == 1;
  const bool errTerminal = ::isatty(STDERR_FILENO) == 1;
  TerminalDialogs dialogs(args.answers, {stdin, stderr, inTerminal, errTerminal});
  TerminalProgress progress(stderr, errTerminal, TerminalWidth());
  // Whatever would start a browser prints the address instead.
  SetShellOpener([](const std::string& target) {
    PrintAddressToOpen(stderr, target);
    return true;
  });
  UiLoop loop;

  if (args.verb == Verb::kLogout || args.verb == Verb::kPrepare) {
    CliContext context{nullptr, dialogs, progress, loop, args};
    return RunLocal(context);
  }
  if (args.verb == Verb::kNone && !args.uninstall && !NamesUploadFiles(args)) {
    std::fprintf(stderr,
                 "zerva-cli: none of the arguments is an existing photo or video file\n"
                 "Try 'zerva-cli --help'.\n");
    return kExitUsage;
  }

  CliFrontEnd frontEnd(
      dialogs, loop,
      [&](CzervaApp& app) {
        CliContext context{&app, dialogs, progress, loop, args};
        const int status = RunServiceVerb(context);
        progress.Finish();
        return status;
      },
      stderr);
  CzervaApp app(frontEnd);
  std::vector<const char*> argv = {"zerva-cli"};
  for (const std::string& arg : args.programArgs) argv.push_back(arg.c_str());
  app.InitInstance(static_cast<int>(argv.size()), argv.data());
  const int verbStatus = app.ExitInstance();
  return StatusOfRun(app.HowStartupEnded(), verbStatus);
}

}  // namespace zerva::cli
