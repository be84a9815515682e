// The desktop's "zerva" URL protocol (a desktop entry with x-scheme-handler/zerva, made the
// default handler with xdg-mime) and the service's install-status request.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ui/app_seams.h"

namespace zerva {

class CHttpMngr;

// The desktop entry text for the executable.
std::string ProtocolDesktopEntry(const std::string& executablePath);
// $XDG_DATA_HOME/applications/zerva.desktop (default ~/.local/share/...).
std::string ProtocolDesktopFilePath();
// The launcher an install puts beside the program: <prefix>/share/applications/
// org.zerva.Zerva.desktop for <prefix>/bin/zerva.
std::string InstalledDesktopEntryPath(const std::string& executablePath);
// Whether the launcher is installed and the desktop, asked for it by its name, finds a file that
// starts this program for zerva addresses (the installed one, or the user's edited copy).
bool InstalledEntryLaunches(const std::string& executablePath);

class DesktopInstallRegistration : public InstallRegistration {
 public:
  // The status request goes out through a connection of `manager`.
  explicit DesktopInstallRegistration(CHttpMngr& manager);
  ~DesktopInstallRegistration() override;

  // With an installed launcher that starts this program, only makes it the handler when it is
  // not. Otherwise verifies an entry of its own and the handler; writes and registers only when
  // either differs. Verifies again after a change. False when the registration cannot be made.
  bool RegisterUrlProtocol(const std::string& executablePath) override;
  // Without an embedded browser the page is simply requested: "uninstalled" here and now,
  // "installed" on a worker of its own.
  void NotifyStatus(bool installed, int delayMs) override;
  // Waits for a status request still under way (shutdown, tests).
  void Join();

 private:
  bool Registered(const std::string& executablePath);
  bool RegisterInstalledEntry();
  void Request(bool installed);

  CHttpMngr& manager_;
  std::mutex mutex_;
  std::vector<std::thread> workers_;
};

}  // namespace zerva
