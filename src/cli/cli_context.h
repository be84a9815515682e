// What a verb of zerva-cli works with.
#pragma once

#include <cstdio>

#include "app/message_target.h"
#include "cli/cli_args.h"
#include "cli/terminal_dialogs.h"
#include "cli/terminal_progress.h"

namespace zerva {
class CzervaApp;
}

namespace zerva::cli {

struct CliContext {
  // The application after its start-up, signed in for the verbs that need an account; null
  // for a verb that works on local files only (prepare).
  CzervaApp* app = nullptr;
  TerminalDialogs& dialogs;
  TerminalProgress& progress;
  // The user-interface loop of this (the main) thread; waits pump it.
  UiLoop& loop;
  const CliArgs& args;
  std::FILE* out = stdout;  // results
  std::FILE* err = stderr;  // notices
};

}  // namespace zerva::cli
