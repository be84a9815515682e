// The application object: the process-wide context that owns everything living as long as the
// program (command line, session, current album and album list, job manager, photo and video
// parameters, connection manager and the main connection, the hidden video-tool update) and
// runs start-up and shutdown in their fixed order. The front end (window, terminal or test)
// supplies the dialogs and the main window.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "app/cmd_line_info.h"
#include "app/dialogs.h"
#include "app/usage_stats.h"
#include "jobs/jobs_mngr.h"
#include "jobs/send_original_video.h"
#include "lang/localization.h"
#include "model/album.h"
#include "model/album_environment.h"
#include "model/album_mngr.h"
#include "model/photo_video_params.h"
#include "net/bug_report.h"
#include "net/endpoints.h"
#include "net/http_connect.h"
#include "net/http_mngr.h"
#include "session/user_session.h"
#include "ui/app_front_end.h"
#include "ui/app_seams.h"
#include "ui/gps_view.h"
#include "ui/hidden_video_update.h"
#include "ui/preview_cache.h"
#include "ui/video_props_view.h"

namespace zerva {

inline constexpr const char* kAppInitBanner =
    "**************************************** APP INIT **********************";
inline constexpr const char* kShutdownBanner =
    "**************************************** SHUTDOWN **********************";

// How start-up ended.
enum class StartupEnd {
  kNotRun,
  kLocalizationFailed,  // "Load localization error"
  kUninstalled,         // the "unins" switch
  kConnectionFailed,    // the connection test failed
  kServerMessage,       // the service's message carried the error flag
  kUpdateFailed,        // the update check failed (bug report sent, download page opened)
  kUpdateRunning,       // an updater is installing a new version
  kNoMainWindow,        // the front end made no main window
  kWindowClosed,        // the main window ran and closed
};

struct AppOptions {
  // Where the ini file and the video tools are looked for; empty: the executable's folder.
  std::string programFolder;
  // The language table; null: the process's own (Localization()).
  CLocalization* localization = nullptr;
};

class CzervaApp {
 public:
  // `frontEnd` must outlive the application.
  explicit CzervaApp(AppFrontEnd& frontEnd, AppSeams seams = {}, AppOptions options = {});
  ~CzervaApp();
  CzervaApp(const CzervaApp&) = delete;
  CzervaApp& operator=(const CzervaApp&) = delete;

  // The window's front end registers the "zerva" URL protocol with the desktop and reports the
  // install status, unless a registration was handed in already.
  void UseDesktopRegistration();

  // The start-up sequence, ending with the main window's run; always false (the program ends
  // when it returns). HowStartupEnded tells why it returned.
  bool InitInstance(int argc, const char* const* argv);
  // The shutdown sequence: statistics, main connection, libcurl, banner. Returns the exit
  // status of the main window's run (0 when it did not run).
  int ExitInstance();

  StartupEnd HowStartupEnded() const { return startupEnd_; }
  int WindowResult() const { return windowResult_; }

  // --- Messages, the wait popup and web pages ---
  // A message box with the standard caption of its kind.
  Reply MessageBox(const std::string& text, MessageKind kind,
                   MessageButtons buttons = MessageButtons::kOk);
  void ShowWaitMessage(const std::string& text, const std::string& caption);
  void HideWaitMessage();
  void OpenUrl(const std::string& url);
  void OpenUrlSignedIn(const std::string& url);

  // --- Sign-in wiring ---
  // After a sign-in: the current album and the album list take the session's environment.
  void OnSignedIn();
  // The signed-in user, the user's settings, the photo parameters, the category rule and the
  // video tools, as albums need them.
  AlbumEnvironment MakeAlbumEnvironment() const;
  // Sends a report with the signed-in user's credentials on a connection of its own, so any
  // thread may call it; usable as long as the application lives (0 afterwards).
  ReportSender Reports() const;
  // The bug report text for a failed operation, with this process's proxy settings.
  std::string BugReportText(const std::string& failedApi) const;

  // --- What the application owns ---
  const CmdLineInfo& CommandLine() const { return *cmdLine_; }
  CLocalization& Lang() { return *localization_; }
  CUserSession& Session() { return session_; }
  CAlbum& CurrentAlbum() { return currentAlbum_; }
  // The album the albums page selects and an upload ends on.
  int CurrentAlbumId() const { return currentAlbumId_; }
  void SetCurrentAlbumId(int albumId) { currentAlbumId_ = albumId; }
  CAlbumMngr& AlbumMngr() { return albumMngr_; }
  CJobsMngr& JobsMngr() { return jobsMngr_; }
  // The items whose large picture the photo detail page keeps.
  PreviewCache& Previews() { return previews_; }
  // Original video files being sent, at most two at a time.
  OriginalVideoPool& OriginalPool() { return originalPool_; }
  // The progress windows of originals being sent, made by the front end; none: not shown.
  void SetOriginalProgressViews(ProgressViewFactory views) { originalViews_ = std::move(views); }
  const ProgressViewFactory& OriginalProgressViews() const { return originalViews_; }
  // The video properties dialog's window, made by the front end; none: the dialog is not shown.
  void SetVideoPropsViews(VideoPropsViewFactory views) { videoPropsViews_ = std::move(views); }
  const VideoPropsViewFactory& VideoPropsViews() const { return videoPropsViews_; }
  // The GPS picker's window with its embedded map, made by the front end before the picker is
  // made; none: the picker edits nothing and shows positions in the default browser.
  void SetGpsViews(GpsViewFactory views) { gpsViews_ = std::move(views); }
  // The GPS location picker while the main window is open; null otherwise.
  IGps* GpsPicker() { return gpsPicker_.get(); }
  // What sending original video files needs: the signed-in user, the connections, the pool
  // and its progress windows, on the user-interface thread.
  OriginalUploadContext OriginalUploads();
  PhotoVideoParams& Params() { return params_; }
  CHttpMngr& HttpMngr() { return *httpMngr_; }
  const std::shared_ptr<CHttpMngr>& SharedHttpMngr() const { return httpMngr_; }
  // The long-lived connection of the user-interface thread; null before start-up made it and
  // after shutdown released it.
  CHttpConnect* MainConnection() const { return mainConnection_.get(); }
  UsageStatistics& Statistics() { return AppStatistics(); }
  const ProxyIniSettings& ProxyIni() const { return proxyIni_; }
  bool VideoConverterPresent() const { return videoConverter_; }
  bool VideoPlayerPresent() const { return videoPlayer_; }
  // Videos are converted while their blocks are sent; off under Wine.
  bool ConvertWhileUploading() const { return convertWhileUploading_; }
  void SetConvertWhileUploading(bool on) { convertWhileUploading_ = on; }
  int64_t EchoTimeMs() const { return echoTimeMs_; }
  // With a trailing "/".
  const std::string& ProgramFolder() const { return programFolder_; }
  bool HiddenUpdateRunning() const { return hiddenUpdate_.IsRunning(); }

  AppFrontEnd& FrontEnd() { return frontEnd_; }
  Dialogs& AppDialogs() { return frontEnd_.AppDialogs(); }
  UiThread& AppUiThread() { return frontEnd_.AppUiThread(); }

 private:
  // What reports and the category rule reach through; cleared when the application goes, so
  // a worker holding a sender never reaches a destroyed session.
  struct SessionLink {
    std::mutex mutex;
    CUserSession* session = nullptr;
    std::shared_ptr<CHttpMngr> manager;
  };

  StartupEnd RunStartup(int argc, const char* const* argv);
  bool LoadLocalization();
  void ReadIniFile();
  void RegisterAndNotify();
  bool TestConnection();
  bool ShowServerMessage();
  // The installed check, or the real one of this installation.
  UpdateCheck UpdateCheckInUse();
  StartupEnd CheckForUpdate();
  void RunMainWindow();
  void SendStatistics();
  void RemoveUserTempFolder();

  AppFrontEnd& frontEnd_;
  AppSeams seams_;
  std::string programFolder_;

  HiddenVideoUpdate hiddenUpdate_;
  CLocalization* localization_;
  CUserSession session_;
  CAlbum currentAlbum_;
  CAlbumMngr albumMngr_;
  int currentAlbumId_ = 0;
  CJobsMngr jobsMngr_;
  PreviewCache previews_;
  OriginalVideoPool originalPool_{kMaxOriginalSenders};
  ProgressViewFactory originalViews_;
  VideoPropsViewFactory videoPropsViews_;
  GpsViewFactory gpsViews_;
  std::unique_ptr<IGps> gpsPicker_;
  ProxyIniSettings proxyIni_;
  bool videoConverter_ = false;
  bool videoPlayer_ = false;
  std::shared_ptr<MessageTarget> traceWindow_;
  PhotoVideoParams params_;
  bool convertWhileUploading_ = true;
  std::shared_ptr<CHttpMngr> httpMngr_;
  std::unique_ptr<CHttpConnect> mainConnection_;
  std::unique_ptr<CmdLineInfo> cmdLine_;
  int64_t echoTimeMs_ = 0;

  std::shared_ptr<SessionLink> link_;
  bool curlInitialised_ = false;
  bool exited_ = false;
  StartupEnd startupEnd_ = StartupEnd::kNotRun;
  int windowResult_ = 0;
};

}  // namespace zerva
