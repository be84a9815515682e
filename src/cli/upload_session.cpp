#include "cli/upload_session.h"

#include <chrono>

#include "app/trace.h"
#include "cli/cli_status.h"
#include "cli/upload_view.h"
#include "jobs/jobs_mngr.h"
#include "ui/zerva_app.h"

namespace zerva::cli {
namespace {

// How long the main thread waits for the workers' messages before it looks at the timers.
constexpr std::chrono::milliseconds kPumpSlice{20};

// The outcome's own lines; the exit status.
int ReportOutcome(CliContext& context, const UploadSessionResult& result) {
  const CAlbum& album = context.app->CurrentAlbum();
  switch (result.outcome) {
    case CopyOutcome::kUploaded:
      std::fprintf(context.err, "Uploaded \"%s\"\n", album.name.c_str());
      break;
    case CopyOutcome::kNothingToSend:
      std::fprintf(context.err, "\"%s\" is up to date; nothing was sent\n", album.name.c_str());
      break;
    case CopyOutcome::kGaveUp:
      std::fprintf(context.err,
                   "zerva-cli: the upload did not complete: %d files did not arrive whole\n",
                   result.failedJobs);
      return kExitFailed;
    case CopyOutcome::kNotStored:
      std::fprintf(context.err, "zerva-cli: the album could not be stored on the service\n");
      return kExitFailed;
    case CopyOutcome::kCancelled:
    case CopyOutcome::kNone:
      std::fprintf(context.err, "zerva-cli: the upload was stopped\n");
      return kExitFailed;
  }
  std::fprintf(context.out, "%s\n", album.AlbumUrl().c_str());
  // The album is complete without them, but not every file given was sent.
  return result.problems.failed.empty() ? kExitOk : kExitFailed;
}

}  // namespace

UploadSessionResult RunUploadSession(CliContext& context, bool attended) {
  CzervaApp& app = *context.app;
  UploadView view(context.progress);
  UploadSessionResult result;
  {
    CCopyDlg page(app, view);
    if (!attended) page.SetRetryLimit(kUnattendedRetries);
    page.SetFinalMessage(false);  // ReportUpload names the files at the very end
    page.UpdateTexts();
    page.InitControls();
    page.OnShowPage();
    while (!view.Moved() && page.Outcome() != CopyOutcome::kNotStored) {
      context.loop.PumpFor(kPumpSlice);
      view.Tick();
    }
    if (page.Outcome() == CopyOutcome::kUploaded) view.ShowDone();
    view.Tick();
    context.progress.Finish();
    result.failedJobs = app.JobsMngr().CountInState(kJobFailed);
    if (view.Moved() && !page.CanLeave(view.MovedBack())) {
      // A job that did not stop in time still works on the album, which must outlive it.
      while (app.JobsMngr().IsRunning()) context.loop.PumpFor(kPumpSlice);
      const bool left = page.CanLeave(view.MovedBack());
      if (!left) Trace(kTraceWarning, 0, "Upload: the page could not be left\n");
    }
    result.outcome = page.Outcome();
    result.problems = page.Problems();
  }
  return result;
}

int ReportUpload(CliContext& context, const UploadSessionResult& result) {
  const int status = ReportOutcome(context, result);
  // Every file that is not in the album is named with its reason, after everything else.
  const std::string summary = FileProblemsText(result.problems, "\n");
  if (!summary.empty()) std::fprintf(context.err, "%s\n", summary.c_str());
  return status;
}

}  // namespace zerva::cli
