// The upload verbs of zerva-cli. Each returns an exit status (cli_status.h) and shows its
// progress through `context.progress`.
#pragma once

#include <string>
#include <vector>

#include "cli/cli_context.h"

namespace zerva::cli {

// `zerva-cli upload FOLDER [--name NAME]`: a new album from the folder, or the signed-in
// user's album that has this local folder, reopened and brought up to date. `context.app` is
// signed in and its album list loaded.
int RunUploadFolder(CliContext& context, const std::string& folder, const std::string& albumName);

// The unattended upload: the files of the command line (context.app->CommandLine().FileList(),
// at least one) as a new album named from the label. `context.app` is signed in.
int RunUnattendedUpload(CliContext& context);

// `zerva-cli prepare --out DIR FILES...`: only the preparation of each file into `outDir`;
// no service is involved (`context.app` is null).
int RunPrepare(CliContext& context, const std::string& outDir,
               const std::vector<std::string>& files);

}  // namespace zerva::cli
