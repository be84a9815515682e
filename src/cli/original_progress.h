// Originals of videos sent after an upload, on the terminal: their progress windows become
// progress lines, and the command waits for them before it ends, so that no original is cut off
// when the program exits.
#pragma once

#include "cli/cli_context.h"

namespace zerva::cli {

// Makes the application show the progress of originals on the terminal.
void ShowOriginalsOnTerminal(CliContext& context);

// Returns when no original is waiting or being sent any more.
void WaitForOriginals(CliContext& context);

}  // namespace zerva::cli
