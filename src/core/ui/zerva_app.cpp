#include "ui/zerva_app.h"

#include <curl/curl.h>

#include "app/app_folders.h"
#include "app/profile.h"
#include "app/text_utils.h"
#include "app/trace.h"
#include "app/version.h"
#include "category/album_categories.h"
#include "lang/text.h"
#include "media/video_probe.h"
#include "platform/folders.h"
#include "platform/fs.h"
#include "platform/os_info.h"
#include "platform/tools.h"
#include "session/language_switch.h"
#include "ui/gps_dlg.h"
#include "ui/install_registration.h"
#include "ui/startup_steps.h"
#include "update/update_check.h"

namespace zerva {
namespace {

std::string CaptionPrefix() {
  return TrimEndChars(ServiceDomainName(), "/");
}

}  // namespace

CzervaApp::CzervaApp(AppFrontEnd& frontEnd, AppSeams seams, AppOptions options)
    : frontEnd_(frontEnd),
      seams_(std::move(seams)),
      programFolder_(options.programFolder.empty() ? zerva::ProgramFolder()
                                                   : WithTrailingSlash(options.programFolder)),
      localization_(options.localization != nullptr ? options.localization : &Localization()),
      httpMngr_(std::make_shared<CHttpMngr>()),
      link_(std::make_shared<SessionLink>()) {
  link_->session = &session_;
  link_->manager = httpMngr_;
  // Under Wine the converter and the sender fight over the files; convert first there.
  if (IsWine()) convertWhileUploading_ = false;
  cmdLine_ = std::make_unique<CmdLineInfo>(
      [folder = programFolder_] { return FindTool("ffmpeg", folder).present; });
}

CzervaApp::~CzervaApp() {
  hiddenUpdate_.Stop();
  // A status request still under way uses the connections released below.
  seams_.registration.reset();
  {
    std::lock_guard<std::mutex> lock(link_->mutex);
    link_->session = nullptr;
  }
  if (traceWindow_) SetTraceWindow(nullptr);
  session_.SetConnection(nullptr);
  if (mainConnection_) httpMngr_->ReleaseConnection(mainConnection_);
  httpMngr_->SetProxyPrompt(nullptr);
  if (curlInitialised_) curl_global_cleanup();
}

bool CzervaApp::InitInstance(int argc, const char* const* argv) {
  startupEnd_ = RunStartup(argc, argv);
  RemoveUserTempFolder();
  return false;
}

StartupEnd CzervaApp::RunStartup(int argc, const char* const* argv) {
  // The toolkit's own initialisation belongs to the front end, and the C library's locale is
  // process-wide already.
  cmdLine_ = std::make_unique<CmdLineInfo>(
      [folder = programFolder_] { return FindTool("ffmpeg", folder).present; });
  cmdLine_->Parse(argc, argv);

  TrimTraceLogAtStartup();
  TraceText(kTraceNotice, kAppInitBanner);
  TraceText(kTraceNotice, "**** WinVer " + OsVersionString());
  if (cmdLine_->TraceRequested()) {
    traceWindow_ = frontEnd_.OpenTraceWindow();
    if (traceWindow_) SetTraceWindow(traceWindow_.get());
  }
  // The current folder stays where the user started us: the program's own files are found by
  // absolute paths, and relative file arguments (and list entries) keep meaning what they meant.
  videoConverter_ = FindTool("ffmpeg", programFolder_).present;
  videoPlayer_ = FindTool("ffplay", programFolder_).present;
  // The settings file stands in for the registry key, and the window loads its accelerators.

  if (!LoadLocalization()) return StartupEnd::kLocalizationFailed;
  curlInitialised_ = curl_global_init(CURL_GLOBAL_ALL) == CURLE_OK;
  ReadIniFile();
  RegisterAndNotify();
  if (cmdLine_->Uninstall()) return StartupEnd::kUninstalled;

  mainConnection_ = httpMngr_->GetConnection();
  session_.SetConnection(mainConnection_.get());
  if (!TestConnection()) return StartupEnd::kConnectionFailed;
  ApplyLanguageLocale(session_.EffectiveLanguage());
  LoadRemoteLanguage(*localization_, *mainConnection_);
  HideWaitMessage();
  if (!ShowServerMessage()) return StartupEnd::kServerMessage;

  // The credential and token functions of the system libraries have no counterpart here; the
  // administrator check of the statistics asks the platform layer.
  const StartupEnd update = CheckForUpdate();
  if (update != StartupEnd::kNotRun) return update;
  RunMainWindow();
  return startupEnd_;
}

bool CzervaApp::LoadLocalization() {
  if (localization_->LoadLocal()) return true;
  // No texts are loaded, so neither the message nor its caption can be translated.
  frontEnd_.ShowPlainMessage("Load localization error", CaptionPrefix() + " | Error");
  return false;
}

void CzervaApp::ReadIniFile() {
  // An installed program keeps the administrator's file with its other data files.
  ReadProxyIni(DataFilePathIn(programFolder_, kProxyIniFileName), &proxyIni_);
  ApplyProxyIni(proxyIni_, *httpMngr_);
  httpMngr_->SetClientName(kProductName);
  httpMngr_->SetClientVersion(kVersionText);
  ApplyDomainOverrides(proxyIni_);
  // A proxy asking for credentials during the checks below gets the same prompt as later.
  httpMngr_->SetProxyPrompt(
      [&dialogs = frontEnd_.AppDialogs()](std::string* user, std::string* password) {
        return dialogs.AskProxyCredentials(user, password);
      });
}

void CzervaApp::UseDesktopRegistration() {
  if (!seams_.registration) {
    seams_.registration = std::make_shared<DesktopInstallRegistration>(*httpMngr_);
  }
}

void CzervaApp::RegisterAndNotify() {
  InstallRegistration* registration = seams_.registration.get();
  // A front end without a registration leaves both to the window, as "noreg" does.
  if (registration == nullptr || cmdLine_->NoRegistration()) return;
  bool registered = true;
  if (!cmdLine_->Uninstall()) registered = registration->RegisterUrlProtocol(ExecutablePath());
  ShowWaitMessage("Registrace...", MessageCaption(MessageKind::kInformation));
  registration->NotifyStatus(registered && !cmdLine_->Uninstall(), cmdLine_->DelayMs());
  HideWaitMessage();
}

bool CzervaApp::TestConnection() {
  const ConnectionTestResult test = RunConnectionTest(*mainConnection_);
  echoTimeMs_ = test.elapsedMs;
  AppStatistics().SetEchoTime(test.elapsedMs);
  if (test.ok) return true;
  TraceText(kTraceError, "Connection test failed: " + test.description);
  HideWaitMessage();
  MessageBox(ConnectionFailureText(test, cmdLine_->TraceRequested(), traceWindow_ != nullptr,
                                   frontEnd_.TraceWindowText()),
             MessageKind::kError);
  return false;
}

bool CzervaApp::ShowServerMessage() {
  const ServerMessage message = FetchServerMessage(*mainConnection_);
  if (message.text.empty()) return true;
  MessageBox(message.text, message.isError ? MessageKind::kError : MessageKind::kInformation);
  return !message.isError;
}

UpdateCheck CzervaApp::UpdateCheckInUse() {
  if (seams_.updateCheck) return seams_.updateCheck;
  Dialogs* dialogs = &frontEnd_.AppDialogs();
  return [dialogs](CHttpConnect& connection, bool hidden, bool* quit, CancelFlag* stop,
                   std::string* report) {
    return CheckUpdate(connection, hidden, quit, stop, report, DefaultUpdateEnvironment(dialogs));
  };
}

StartupEnd CzervaApp::CheckForUpdate() {
  const UpdateCheck check = UpdateCheckInUse();
  bool quit = false;
  std::string report;
  if (check(*mainConnection_, false, &quit, nullptr, &report)) {
    return quit ? StartupEnd::kUpdateRunning : StartupEnd::kNotRun;
  }
  std::string description = BugReportText("CheckUpdate");
  if (!report.empty()) description += "\n" + report;
  const SessionCredentials credentials = session_.Credentials();
  SendReport(*mainConnection_, credentials.name, credentials.passwordDigest, kReportCheckUpdate,
             description);
  frontEnd_.OpenUrl(FailedUpdatePageUrl());
  TraceText(kTraceNotice, description);
  return StartupEnd::kUpdateFailed;
}

void CzervaApp::RunMainWindow() {
  std::unique_ptr<MainWindow> window = frontEnd_.CreateMainWindow(*this);
  if (!window) {
    HideWaitMessage();
    startupEnd_ = StartupEnd::kNoMainWindow;
    return;
  }
  LoadPhotoVideoParams(*mainConnection_, &params_);
  HideWaitMessage();
  if (!videoConverter_ || !videoPlayer_) {
    hiddenUpdate_.Start(httpMngr_, UpdateCheckInUse(), window->NotifyTarget(),
                        &frontEnd_.AppUiThread());
  }
  if (seams_.makeGpsPicker) {
    gpsPicker_ = seams_.makeGpsPicker(*this);
  } else {
    gpsPicker_ = std::make_unique<GpsDlg>(gpsViews_, AppDialogs(),
                                          [this](const std::string& url) { OpenUrl(url); });
  }
  windowResult_ = window->Run();
  startupEnd_ = StartupEnd::kWindowClosed;

  gpsPicker_.reset();
  hiddenUpdate_.Stop();
  window.reset();
}

void CzervaApp::RemoveUserTempFolder() {
  const std::string& folder = session_.UserFolder();
  if (folder.empty() || !DirectoryExists(folder)) return;
  if (!DeleteDirectoryTree(folder)) {
    TraceText(kTraceWarning, "InitInstance: cannot delete " + folder);
  }
}

int CzervaApp::ExitInstance() {
  if (exited_) return windowResult_;
  exited_ = true;
  if (traceWindow_) {
    SetTraceWindow(nullptr);
    frontEnd_.CloseTraceWindow();
    traceWindow_.reset();
  }
  SendStatistics();
  session_.SetConnection(nullptr);
  if (mainConnection_) httpMngr_->ReleaseConnection(mainConnection_);
  httpMngr_->SetProxyPrompt(nullptr);
  if (curlInitialised_) {
    curl_global_cleanup();
    curlInitialised_ = false;
  }
  HideWaitMessage();
  TraceText(kTraceNotice, kShutdownBanner);
  return windowResult_;
}

void CzervaApp::SendStatistics() {
  if (!mainConnection_) return;
  const std::string uuid = InstallationId(AppProfile());
  if (uuid.empty()) return;
  const std::string statistics = AppStatistics().BuildStatistics();
  if (statistics.empty()) return;
  // The answer does not matter: a lost statistic costs nothing.
  mainConnection_->SendStat(uuid, statistics);
}

Reply CzervaApp::MessageBox(const std::string& text, MessageKind kind, MessageButtons buttons) {
  return frontEnd_.AppDialogs().ShowMessage(text, kind, buttons);
}

void CzervaApp::ShowWaitMessage(const std::string& text, const std::string& caption) {
  frontEnd_.AppDialogs().ShowWait(text, caption);
}

void CzervaApp::HideWaitMessage() {
  frontEnd_.AppDialogs().HideWait();
}

void CzervaApp::OpenUrl(const std::string& url) {
  frontEnd_.OpenUrl(url);
}

void CzervaApp::OpenUrlSignedIn(const std::string& url) {
  frontEnd_.OpenUrlSignedIn(*this, url);
}

void CzervaApp::OnSignedIn() {
  const AlbumEnvironment environment = MakeAlbumEnvironment();
  currentAlbum_.env = environment;
  albumMngr_.SetEnvironment(environment);
}

AlbumEnvironment CzervaApp::MakeAlbumEnvironment() const {
  AlbumEnvironment environment;
  environment.signedIn = session_.IsSignedIn();
  environment.isVip = session_.IsVip();
  environment.userName = session_.Name();
  environment.defaultWatermark = session_.Details().defaultWatermark;
  environment.canPublishOnFB = session_.Details().canPublishOnFB;
  environment.useExifName = session_.Settings().useExifName;
  environment.useExifDesc = session_.Settings().useExifDesc;
  environment.params = params_;
  environment.categoryWantsHiRes = [link = link_](std::string_view albumCategory) {
    std::lock_guard<std::mutex> lock(link->mutex);
    if (link->session == nullptr) return false;
    // Not a VIP here: the environment's own rule has checked that already.
    return AlbumHiResOrVip(true, false, albumCategory, link->session->Categories());
  };
  environment.videoSupport = videoConverter_;
  // Without a prober of its own the album learns about videos from ffmpeg.
  environment.videoProber = seams_.videoProber.probe ? seams_.videoProber : FfmpegVideoProber();
  return environment;
}

OriginalUploadContext CzervaApp::OriginalUploads() {
  const SessionCredentials user = session_.Credentials();
  OriginalUploadContext originals;
  originals.connection = MainConnection();
  originals.connections = httpMngr_;
  originals.userName = user.name;
  originals.userPass = user.passwordDigest;
  originals.ui = &AppUiThread();
  originals.pool = &originalPool_;
  originals.views = originalViews_;
  return originals;
}

ReportSender CzervaApp::Reports() const {
  return
      [link = link_](int kind, const std::string& description, const std::string& filePath) -> int {
        SessionCredentials credentials;
        std::shared_ptr<CHttpMngr> manager;
        {
          std::lock_guard<std::mutex> lock(link->mutex);
          if (link->session == nullptr) return 0;
          credentials = link->session->Credentials();
          manager = link->manager;
        }
        // A connection of the caller's own: connections are never shared between threads.
        std::unique_ptr<CHttpConnect> connection = manager->GetConnection();
        if (!connection) return 0;
        const int number = SendReport(*connection, credentials.name, credentials.passwordDigest,
                                      kind, description, filePath);
        manager->ReleaseConnection(connection);
        return number;
      };
}

std::string CzervaApp::BugReportText(const std::string& failedApi) const {
  return BuildBugReport(failedApi, 0, true, httpMngr_.get());
}

}  // namespace zerva
