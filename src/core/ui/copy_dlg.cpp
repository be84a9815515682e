#include "ui/copy_dlg.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "app/elements.h"
#include "app/text_placeholders.h"
#include "app/text_utils.h"
#include "app/trace.h"
#include "category/album_categories.h"
#include "jobs/job_upload.h"
#include "jobs/progress_math.h"
#include "jobs/unknown_videos.h"
#include "lang/text.h"
#include "media/image_messages.h"
#include "media/item_download.h"
#include "media/video_targets.h"
#include "media/watermark_template.h"
#include "model/album_cover.h"
#include "model/date_interval.h"
#include "model/exif_text.h"
#include "model/xml_fields.h"
#include "ui/album_list_load.h"
#include "ui/copy_page_view.h"
#include "ui/free_server_dir.h"
#include "ui/upload_verify.h"
#include "ui/zerva_app.h"

namespace zerva {
namespace {

// The identifier CreateAlbum answers with; 0 when the value holds none.
int AlbumIdOfAnswer(const std::string& value) {
  const long long id = std::strtoll(value.c_str(), nullptr, 10);
  return id > 0 && id <= INT32_MAX ? static_cast<int>(id) : 0;
}

int UsedSizeOf(const ApiResult& result) {
  return ElementInt32(result.value, "usedSize");
}

// The user's words for a preparation failure; the trace keeps the library's.
std::string PreparationFailureText(const std::string& reason) {
  if (reason == kTruncatedPicture) return Text("failedTruncated");
  if (reason.find("cannot be read") != std::string::npos) return Text("failedUnreadable");
  return Text("failedNotPrepared");
}

// The name the user knows the item's file by.
std::string ShownName(const CPhoto& item) {
  return item.localPath.empty() ? item.fileName : FileNameOfPath(item.localPath);
}

}  // namespace

std::string FileProblemsText(const FileProblems& problems, const std::string& separator) {
  std::string text;
  if (!problems.leftOut.empty()) {
    text = FillTextPlaceholders(Text("copyDlgLeftOut"), {NamedReasonList(problems.leftOut)});
  }
  if (!problems.failed.empty()) {
    if (!text.empty()) text += separator;
    text += FillTextPlaceholders(Text("copyDlgFailed"), {NamedReasonList(problems.failed)});
  }
  return text;
}

CCopyDlg::CCopyDlg(CzervaApp& app, CopyPageView& view) : app_(app), view_(view), display_(view) {}

CCopyDlg::~CCopyDlg() {
  if (listening_) app_.JobsMngr().RemoveListener(this);
}

void CCopyDlg::UpdateTexts() {
  view_.SetHeader(Text("CopyDlgTitle"), Text("CopyDlgText"));
  // An unattended upload from the command line has nowhere to go back to.
  view_.SetNavigation(Text("navNext"), Text("navBack"), !app_.CommandLine().FilesGiven());
}

void CCopyDlg::InitControls() {
  app_.JobsMngr().Create(app_.AppUiThread());
  app_.JobsMngr().AddListener(this);
  listening_ = true;
  view_.ShowPercent(0, "");
}

UploadJobsContext CCopyDlg::JobsContext() {
  CAlbum& album = app_.CurrentAlbum();
  CUserSession& session = app_.Session();
  UploadJobsContext context;
  context.album = &album;
  context.jobs = &app_.JobsMngr();
  context.session = &session;
  context.connections = app_.SharedHttpMngr();
  context.preparation = PreparationSettingsFor(album);
  context.preparation.watermark = SessionWatermarkSource(session, app_.SharedHttpMngr());
  context.preparation.reports = app_.Reports();
  context.userFolder = album.tempFolder;
  context.albumNeedsHd =
      AlbumNeedsHd(session.IsSignedIn(), album.albumCategory, session.Categories());
  context.useOriginal = session.IsVip();
  context.videoResolution =
      app_.Params().VideoResolutionFor(VipValuesApply(session.IsSignedIn(), session.IsVip()));
  context.videoLimits =
      VideoLimitsFor(app_.Params(), VipValuesApply(session.IsSignedIn(), session.IsVip()));
  context.convertWhileUploading = app_.ConvertWhileUploading();
  context.downloadPatch = [this](CPhoto& item) {
    if (app_.MainConnection() == nullptr) return;
    DownloadPatch(item, *app_.MainConnection(), app_.Session().Credentials(),
                  app_.CurrentAlbum().tempFolder);
  };
  return context;
}

BuiltJobs CCopyDlg::BuildJobs() {
  built_ = zerva::BuildJobs(JobsContext());
  return built_;
}

void CCopyDlg::OnShowPage() {
  CAlbum& album = app_.CurrentAlbum();
  cancelled_ = false;
  inProgress_ = true;
  outcome_ = CopyOutcome::kNone;
  confirmedBytes_ = 0;
  retries_ = 0;
  CollectProblems(false);
  if (album.tempFolder.empty()) album.tempFolder = app_.Session().UserFolder();
  view_.SetAlbumLink(ReplaceAll(album.AlbumUrl(), "http://", "www."));
  if (album.resolution != album.maxSizeImage) ApplyResolution(album, album.resolution);
  ComputeDateInterval(album, !album.manualDateInterval);
  album.MarkChangedItems();
  BuildJobs();
  ResetDisplay();

  if (app_.JobsMngr().Jobs().empty() && !album.modified && album.uploading == 0) {
    if (app_.MessageBox(Text("msgNotEditedAlbumText2"), MessageKind::kInformation,
                        MessageButtons::kYesNo) != Reply::kYes) {
      inProgress_ = false;
      outcome_ = CopyOutcome::kNothingToSend;
      view_.Back();
      return;
    }
    // Every included item with its local file counts as changed now.
    for (const auto& item : album.items) item->OriginalCode = 0;
    BuildJobs();
  }
  StartSession();
}

bool CCopyDlg::MoveOffTakenDirectory() {
  CAlbum& album = app_.CurrentAlbum();
  const CAlbumMngr& albums = app_.AlbumMngr();
  const int id = album.albumID;
  if (!albums.IsServerDirTaken(album.serverDir, id)) return false;
  const CAlbum* other = albums.FindByServerDir(album.serverDir, id);
  if (other == nullptr || other->albumID <= 0 || other->albumID == id) return false;
  // The other album is the user's work: it is never deleted unasked. This album takes a
  // directory of its own instead.
  const std::string freeDir = FreeServerDir(albums, album.serverDir, id);
  Trace(kTraceWarning, 0, "StartSession: directory %s belongs to album %d, using %s\n",
        album.serverDir.c_str(), other->albumID, freeDir.c_str());
  album.serverDir = freeDir;
  return true;
}

void CCopyDlg::HandJobsAlbumId(int albumId) {
  for (const auto& [jobId, job] : app_.JobsMngr().Jobs()) {
    if (job->Kind() != kJobKindUpload) continue;
    auto* upload = dynamic_cast<CJobUpload*>(job.get());
    if (upload != nullptr && upload->AlbumId() <= 0) upload->SetAlbumId(albumId);
  }
}

bool CCopyDlg::StartSession() {
  CAlbum& album = app_.CurrentAlbum();
  CUserSession& session = app_.Session();
  CHttpConnect* connection = app_.MainConnection();
  const SessionCredentials user = session.Credentials();
  ResetDisplay();
  // Numbered before the album XML is made, so the service stores the order the uploads send.
  album.Renumber(true);
  if (MoveOffTakenDirectory()) BuildJobs();  // the jobs name the directory
  const std::string xml = album.ToXml(false);
  int id = album.albumID;

  ApiResult created;
  if (id < 1 && connection != nullptr) {
    app_.ShowWaitMessage(Text("msgCreateAlbum"), Text("msgInfo"));
    created = connection->CreateAlbum(user.name, user.passwordDigest, album.serverDir, xml);
    app_.HideWaitMessage();
    id = created.Ok() ? AlbumIdOfAnswer(created.value) : 0;
    if (created.Ok() && id < 1) created = ApiResult::Failure(created.value);
    if (id > 0) {
      album.albumID = id;
      HandJobsAlbumId(id);
    }
  }

  if (id > 0 && connection != nullptr) {
    app_.ShowWaitMessage(Text("msgEmptyAlbum"), Text("msgInfo"));
    const ApiResult emptied = connection->EmptyAlbum(user.name, user.passwordDigest, id, xml);
    app_.HideWaitMessage();
    if (emptied.Ok()) {
      session.MutableDetails().usedSize = UsedSizeOf(emptied);
      view_.UpdateUserBar();
      if (!app_.JobsMngr().Start()) {
        TraceText(kTraceWarning, "CopyDlg: the upload did not start, an earlier run still goes");
      }
      SendCategoryValues();
      return true;
    }
    view_.UpdateUserBar();
    const int number = Report(kReportEmptyAlbum, "EmptyAlbum");
    app_.MessageBox(FailureWithLogId(Text("msgCannotEmptyAlbum"), emptied.message, number),
                    MessageKind::kError);
  } else {
    const int number = Report(kReportCreateAlbum, "CreateAlbum");
    app_.MessageBox(FailureWithLogId(Text("msgCannotCreateAlbum"), created.message, number),
                    MessageKind::kError);
  }
  // Nothing runs: the page stays, and leaving it asks nothing.
  inProgress_ = false;
  outcome_ = CopyOutcome::kNotStored;
  return false;
}

void CCopyDlg::SendCategoryValues() {
  CAlbum& album = app_.CurrentAlbum();
  CUserSession& session = app_.Session();
  CHttpConnect* connection = app_.MainConnection();
  if (connection == nullptr) return;
  const SessionCredentials user = session.Credentials();
  for (const int categoryId :
       AlbumCategoryFlags(album.albumCategory, session.Categories()).needForm) {
    const std::string values = session.StartValues(categoryId);
    if (values.empty()) continue;
    // The answer changes nothing: the upload goes on either way.
    connection->SendAdditionalAlbumInfo(user.name, user.passwordDigest, album.albumID, categoryId,
                                        values);
  }
}

void CCopyDlg::OnJobsProgress(int64_t packedTime) {
  display_.OnProgress(packedTime, [this] { UpdateDisplay(); });
}

void CCopyDlg::OnJobsBytes(int64_t count, int64_t total) {
  ApplyJobsBytes(confirmedBytes_, count, total);
}

void CCopyDlg::UpdateDisplay() {
  const std::shared_ptr<CJobBase> job = app_.JobsMngr().CurrentJob();
  display_.Update(app_.JobsMngr().Percent(), job ? job->Name() : std::string(),
                  job ? job->Item() : nullptr);
  // A photo that cannot be prepared is named while the rest of the album goes on, not only at
  // the end of a long run. A repaint that comes after the run leaves the final list alone.
  if (inProgress_ && FailedItems(true).size() > shownHopeless_) CollectProblems(false);
}

void CCopyDlg::ResetDisplay() {
  display_.Reset();
}

int CCopyDlg::VerifyUploads() {
  CHttpConnect* connection = app_.MainConnection();
  if (connection == nullptr) return 0;
  return zerva::VerifyUploads(app_.JobsMngr(), *connection, app_.Session().Credentials(),
                              app_.CurrentAlbum().serverDir);
}

void CCopyDlg::OnJobsFinished() {
  view_.ShowJob("", nullptr);
  if (cancelled_) return;
  VerifyUploads();
  CollectProblems(false);
  // Photos that cannot be prepared are named, not retried: the rest of the album is complete.
  const bool onlyHopeless = RetriableFailures() == 0 && !FailedItems(true).empty();
  if (app_.JobsMngr().LastResult().Ok() || onlyHopeless) {
    EndRun();
  } else {
    AskRetry(true);
  }
}

std::vector<CPhoto*> CCopyDlg::FailedItems(bool hopeless) const {
  std::vector<CPhoto*> items;
  for (const auto& [id, job] : app_.JobsMngr().Jobs()) {
    CPhoto* item = job->Item();
    if (item == nullptr || job->Hopeless() != hopeless || job->State() != kJobFailed) continue;
    if (std::find(items.begin(), items.end(), item) == items.end()) items.push_back(item);
  }
  return items;
}

int CCopyDlg::RetriableFailures() const {
  int count = 0;
  for (const auto& [id, job] : app_.JobsMngr().Jobs()) {
    if (job->State() == kJobFailed && !job->Hopeless()) ++count;
  }
  return count;
}

void CCopyDlg::CollectProblems(bool gaveUp) {
  const CAlbum& album = app_.CurrentAlbum();
  problems_ = FileProblems();
  for (const LeftOutFile& file : album.leftOut) problems_.leftOut.push_back(Named(file));
  const std::vector<CPhoto*> hopeless = FailedItems(true);
  shownHopeless_ = hopeless.size();
  for (CPhoto* item : hopeless) {
    std::string reason;
    {
      std::lock_guard<std::mutex> lock(item->lock);
      reason = item->preparationFailure;
    }
    problems_.failed.push_back({ShownName(*item), PreparationFailureText(reason)});
  }
  if (gaveUp) {
    for (const CPhoto* item : FailedItems(false)) {
      problems_.failed.push_back({ShownName(*item), Text("copyDlgNotReceived")});
    }
  }
  view_.ShowFileProblems(FileProblemsText(problems_, "<br>"));
}

void CCopyDlg::ShowFinalMessage() {
  if (!finalMessage_ || problems_.Empty()) return;
  app_.MessageBox(Text("copyDlgNotInAlbum") + "<br>" + FileProblemsText(problems_, "<br>"),
                  MessageKind::kWarning);
}

void CCopyDlg::EndRun() {
  CAlbum& album = app_.CurrentAlbum();
  // A new photo that could not be prepared never reached the service: the album does not list
  // it. One the service already holds keeps its earlier files and stays.
  for (CPhoto* item : FailedItems(true)) {
    if (item->photoID <= 0) item->included = false;
  }
  const SessionCredentials user = app_.Session().Credentials();
  CHttpConnect* connection = app_.MainConnection();
  const ApiResult cleared = connection
                                ? connection->SetAlbumUploading(user.name, user.passwordDigest,
                                                                album.albumID, 0, album.ToXml(true))
                                : ApiResult::Failure("SetAlbumUploading: no connection");
  if (!cleared.Ok()) {
    Report(kReportSetAlbumUploading, "SetAlbumUploading");
    AskRetry(false);
    return;
  }
  app_.JobsMngr().ClearJobs();
  app_.SetCurrentAlbumId(album.albumID);
  album.rawPhotosXml.clear();
  if (LoadAlbumList(app_)) TakeOverListEntry();
  inProgress_ = false;
  outcome_ = CopyOutcome::kUploaded;
  ShowFinalMessage();
  view_.Next();
}

void CCopyDlg::TakeOverListEntry() {
  CAlbum& album = app_.CurrentAlbum();
  CAlbumMngr& albums = app_.AlbumMngr();
  const CAlbum* entry = albums.FindById(album.albumID);
  if (entry == nullptr) return;
  const std::string tempFolder = album.tempFolder;
  album = *entry;  // the properties only; the items stay
  if (album.tempFolder.empty()) album.tempFolder = tempFolder;
  ImagePtr cover;
  if (app_.MainConnection() != nullptr) cover = DownloadCover(album, *app_.MainConnection(), false);
  album.coverSmall = AlbumCover{cover, cover ? kCoverDownloaded : kCoverFailed};
  if (cover) {
    albums.StoreCover(album.albumID, false, cover);
  } else {
    albums.DropCover(album.albumID, false);
  }
  albums.DropCover(album.albumID, true);
}

void CCopyDlg::AskRetry(bool offerUnknownVideos) {
  if (retryLimit_ >= 0 && retries_ >= retryLimit_) {
    Trace(kTraceWarning, 0, "Upload: giving up after %d runs again\n", retries_);
    GiveUp(offerUnknownVideos);
    return;
  }
  // The question names only what a new run would send again.
  std::string names;
  for (const CPhoto* item : FailedItems(false)) {
    names += (names.empty() ? "" : ", ") + ShownName(*item);
  }
  std::string question = Text("copyDlgCopyError");
  if (!names.empty()) {
    question +=
        "<br>" + FillTextPlaceholders(Text("copyDlgRetryFiles"), {CleanUtf8(names, names.size())});
  }
  if (app_.MessageBox(question, MessageKind::kError, MessageButtons::kYesNo) == Reply::kYes) {
    ++retries_;
    if (!app_.JobsMngr().Restart()) {
      TraceText(kTraceWarning, "CopyDlg: the retry did not start, an earlier run still goes");
    }
    return;
  }
  GiveUp(offerUnknownVideos);
}

void CCopyDlg::GiveUp(bool offerUnknownVideos) {
  if (offerUnknownVideos) {
    // Videos ffmpeg could not convert may go up as their original files.
    std::vector<CJobBase*> jobs;
    for (const auto& [id, job] : app_.JobsMngr().Jobs()) jobs.push_back(job.get());
    SendUnknownVideos(jobs, app_.OriginalUploads(), app_.AppDialogs());
  }
  for (const auto& [id, job] : app_.JobsMngr().Jobs()) {
    if (job->Kind() == kJobKindUpload && job->State() == kJobFailed && job->Item() != nullptr) {
      job->Item()->included = false;
    }
  }
  CollectProblems(true);
  inProgress_ = false;
  outcome_ = CopyOutcome::kGaveUp;
  ShowFinalMessage();
  view_.Back();
}

bool CCopyDlg::CanLeave(bool back) {
  if (back) {
    if (inProgress_ && app_.MessageBox(Text("msgCopyInProgress"), MessageKind::kWarning,
                                       MessageButtons::kYesNo) != Reply::kYes) {
      return false;
    }
    cancelled_ = true;
    if (inProgress_) outcome_ = CopyOutcome::kCancelled;
    inProgress_ = false;
  }
  // Only a running engine is waited for; the popup would otherwise flash for nothing.
  if (app_.JobsMngr().IsRunning()) {
    app_.ShowWaitMessage(Text("msgWaitForThreadEnd"), Text("msgInfo"));
    const bool stopped = app_.JobsMngr().KillJobs();
    app_.HideWaitMessage();
    if (!stopped) {
      // A job still works on the album's items: the editor must not change them yet.
      app_.MessageBox(Text("msgUploadNotStopped"), MessageKind::kWarning);
      return false;
    }
  }
  // Items of jobs still held (an interrupted or failed session) are prepared and sent again.
  for (const auto& [id, job] : app_.JobsMngr().Jobs()) {
    if (job->Item() != nullptr) job->Item()->OriginalCode = 0;
  }
  return true;
}

void CCopyDlg::OnAlbumLink() {
  app_.OpenUrlSignedIn(app_.CurrentAlbum().AlbumUrl());
}

int CCopyDlg::Report(int kind, const std::string& failedApi) {
  const ReportSender sender = app_.Reports();
  return sender ? sender(kind, app_.BugReportText(failedApi), "") : 0;
}

}  // namespace zerva
