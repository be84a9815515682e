// The upload progress page ("CCopyDlg") as a controller: one upload session for the current
// album. It decides from every item which jobs are needed, stores the album on the service
// (creating it, or emptying it of what is no longer part of it), lets the job engine run while
// it shows progress, and at the end checks the service's files against what was sent. When
// everything arrived it clears the uploading mark, refreshes the album list and moves on;
// otherwise it offers to send the failed files again.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jobs/jobs_mngr_events.h"
#include "model/folder_scan.h"
#include "ui/upload_display.h"
#include "ui/upload_jobs.h"

namespace zerva {

class CzervaApp;
class CopyPageView;

// How the last session ended, for front ends that wait for it (zerva-cli).
enum class CopyOutcome {
  kNone,           // no session yet, or it is still running
  kUploaded,       // everything verified, uploading mark cleared, moved on to the next page
  kGaveUp,         // a failure the user did not want to retry; back to the editor
  kNothingToSend,  // nothing changed and the user did not want to send it all again
  kNotStored,      // the album could not be created or emptied; nothing was started
  kCancelled,      // left backwards while the run went on
};

// The files of a session that are not part of the album, each with its reason.
struct FileProblems {
  std::vector<NamedReason> leftOut;  // not taken into the album (folder scan, dropped files)
  std::vector<NamedReason> failed;   // taken, but not sent
  bool Empty() const { return leftOut.empty() && failed.empty(); }
};
// "left out: a.jpg (empty file)" and "failed: b.jpg (...)" lines joined by `separator`.
std::string FileProblemsText(const FileProblems& problems, const std::string& separator);

class CCopyDlg : public CJobsMngrEvents {
 public:
  // The application and the view outlive the page.
  CCopyDlg(CzervaApp& app, CopyPageView& view);
  ~CCopyDlg() override;
  CCopyDlg(const CCopyDlg&) = delete;
  CCopyDlg& operator=(const CCopyDlg&) = delete;

  // --- Page operations ---
  void UpdateTexts();
  // Makes the job manager's window and listens to it.
  void InitControls();
  // Runs a session for the current album.
  void OnShowPage();
  // Whether the page may be left; `back` for a move back to the editor. Stops the jobs; false
  // also when they did not stop in time (they still work on the album).
  [[nodiscard]] bool CanLeave(bool back);
  // The link button: the album's address, signed in.
  void OnAlbumLink();

  // --- The job manager's events ---
  void OnJobsFinished() override;
  void OnJobsProgress(int64_t packedTime) override;
  void OnJobsBytes(int64_t count, int64_t total) override;

  // --- Steps of the session ---
  BuiltJobs BuildJobs();
  // Stores the album on the service and starts the jobs; false when nothing was started.
  bool StartSession();
  // Fails every upload job whose file the service does not hold whole; returns their number.
  int VerifyUploads();
  void UpdateDisplay();
  void ResetDisplay();

  // Front ends that answer questions without a person (zerva-cli with --yes) bound how often a
  // failed run is started again; after `retries` the session gives up without asking. Below 0:
  // the user is asked every time.
  void SetRetryLimit(int retries) { retryLimit_ = retries; }
  // Front ends that print their own summary of the files not sent (zerva-cli) turn off the
  // final message that names them.
  void SetFinalMessage(bool shown) { finalMessage_ = shown; }
  const FileProblems& Problems() const { return problems_; }

  bool InProgress() const { return inProgress_; }
  bool Cancelled() const { return cancelled_; }
  CopyOutcome Outcome() const { return outcome_; }
  // What the last BuildJobs queued.
  const BuiltJobs& Built() const { return built_; }
  // Bytes the service confirmed in this session.
  int64_t ConfirmedBytes() const { return confirmedBytes_; }
  const UploadDisplay& Display() const { return display_; }

 private:
  UploadJobsContext JobsContext();
  // Another album of the user uses the album's directory: the album moves to a free one.
  bool MoveOffTakenDirectory();
  void HandJobsAlbumId(int albumId);
  void SendCategoryValues();
  void EndRun();
  // The question after a failure: Yes runs the failed jobs again, No gives up. Failures a new
  // run cannot mend are not offered.
  void AskRetry(bool offerUnknownVideos);
  // Items with failed jobs, each once, in job order: those whose photo could not be prepared
  // (`hopeless`), or those a new run may still send.
  std::vector<CPhoto*> FailedItems(bool hopeless) const;
  // Failed jobs that a new run may mend.
  int RetriableFailures() const;
  // The problems shown on the page; `gaveUp` adds the files that did not arrive.
  void CollectProblems(bool gaveUp);
  void ShowFinalMessage();
  void GiveUp(bool offerUnknownVideos);
  void TakeOverListEntry();
  // Bug report `kind` for the failed operation; its number, 0 when none.
  int Report(int kind, const std::string& failedApi);

  CzervaApp& app_;
  CopyPageView& view_;
  UploadDisplay display_;
  BuiltJobs built_;
  bool cancelled_ = false;
  bool inProgress_ = false;
  bool listening_ = false;
  CopyOutcome outcome_ = CopyOutcome::kNone;
  int64_t confirmedBytes_ = 0;
  int retryLimit_ = -1;
  int retries_ = 0;
  bool finalMessage_ = true;
  FileProblems problems_;
  size_t shownHopeless_ = 0;  // photos that could not be prepared, as last shown
};

}  // namespace zerva
