// The upload page of the window, run on the terminal: the session for the current album, with
// its progress on stderr, until the page moves on or back.
#pragma once

#include "cli/cli_context.h"
#include "ui/copy_dlg.h"

namespace zerva::cli {

// Runs made again after failures when questions are answered without a person: a failure that
// stays is given up on instead of being tried for ever.
inline constexpr int kUnattendedRetries = 3;

struct UploadSessionResult {
  CopyOutcome outcome = CopyOutcome::kNone;
  int failedJobs = 0;     // jobs that had failed when the session gave up
  FileProblems problems;  // files not part of the album, with their reasons
};

// Runs the session and leaves the page as the window would. `attended`: a person answers the
// questions, so failed runs are retried as long as they say so.
UploadSessionResult RunUploadSession(CliContext& context, bool attended);

// The exit status and the final lines of an upload: the album's address on `context.out` when
// the service holds the album, the reason on `context.err` otherwise.
int ReportUpload(CliContext& context, const UploadSessionResult& result);

}  // namespace zerva::cli
