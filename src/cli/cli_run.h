// One run of zerva-cli after its command line was understood: the local verbs directly, the
// others through the application's start-up and shutdown.
#pragma once

#include "cli/cli_args.h"
#include "ui/zerva_app.h"

namespace zerva::cli {

int RunCli(const CliArgs& args);

// The exit status of a run that went through start-up: the class of the reason start-up ended,
// or the verb's own status when the verb ran.
int StatusOfRun(StartupEnd end, int verbStatus);

}  // namespace zerva::cli
