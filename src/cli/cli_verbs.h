// The verbs of zerva-cli that talk to the service, run as the application's main window once
// start-up has passed its checks, and the local ones.
#pragma once

#include "cli/cli_context.h"

namespace zerva::cli {

// Signs in and runs the verb of `context.args` (an unattended upload when there is none).
int RunServiceVerb(CliContext& context);

// `zerva-cli logout`: forgets the remembered password.
int RunLogout(CliContext& context);

}  // namespace zerva::cli
