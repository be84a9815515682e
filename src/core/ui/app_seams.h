// The pieces of start-up that the window or later parts of the program fill in, each with a
// default that lets a run go on: the update check, the URL protocol with the install-status
// request, the GPS location picker and the video probe.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "model/video_prober.h"
#include "net/http_connect.h"
#include "ui/gps_picker.h"

namespace zerva {

class CzervaApp;

// The update check: visible (`hidden` false) at start-up on the main connection, hidden on the
// video-tool update thread, where `stop` asks it to return. True on success; `quit` set means
// an updater runs and the program must end. Lines for the bug report go to `report`.
using UpdateCheck = std::function<bool(CHttpConnect& connection, bool hidden, bool* quit,
                                       CancelFlag* stop, std::string* report)>;

// Success without anything to install: what runs when no update check is installed.
bool NoUpdateCheck(CHttpConnect& connection, bool hidden, bool* quit, CancelFlag* stop,
                   std::string* report);

// The desktop's "zerva" URL protocol and the service's install-status page.
class InstallRegistration {
 public:
  virtual ~InstallRegistration() = default;
  // Verifies the protocol registration for the executable and writes it only when it differs;
  // false when it could not be written.
  virtual bool RegisterUrlProtocol(const std::string& executablePath) = 0;
  // Loads InstallStatusUrl(installed), closing the page `delayMs` after it loaded. For
  // "uninstalled" it returns when done; for "installed" it may return at once and finish on a
  // worker thread of its own.
  virtual void NotifyStatus(bool installed, int delayMs) = 0;
};

struct AppSeams {
  // Empty: NoUpdateCheck.
  UpdateCheck updateCheck;
  // Null: neither the protocol nor the install status is touched, as with "noreg".
  std::shared_ptr<InstallRegistration> registration;
  // The GPS location picker, made when the main window is created and destroyed after it
  // closed. Empty: GpsDlg on the front end's map views (CzervaApp::SetGpsViews).
  std::function<std::unique_ptr<IGps>(CzervaApp& app)> makeGpsPicker;
  // How albums learn about video files; empty: by name and date only.
  VideoProber videoProber;
};

}  // namespace zerva
