// The update check at start-up (visible) and on the hidden video-tool thread, and the hand-off
// to the external updater.
#pragma once

#include <ctime>
#include <functional>
#include <string>

#include "net/http_connect.h"

namespace zerva {

class Dialogs;

struct UpdateEnvironment {
  std::string programFolder;  // ends in "/"
  std::string tempFolder;     // ends in "/"
  bool converterPresent = false;
  bool playerPresent = false;
  // Visible mode shows its wait message and error boxes here; may be null.
  Dialogs* dialogs = nullptr;
  // Starts `program` with `argument` detached from us, elevated for the verb "runas". False
  // when it could not be started (errno tells why). Empty: the system launcher.
  std::function<bool(const std::string& verb, const std::string& program,
                     const std::string& argument, const std::string& workFolder)>
      launch;
  // Empty: the wall clock.
  std::function<std::time_t()> now;
  // A package manager owns the program files (its marker file is among the data files): nothing
  // is downloaded, replaced or run; a newer version is only reported, for the package to bring.
  bool packageManaged = false;
};

// The data file a system package installs to say that it owns the program files.
inline constexpr const char* kPackageMarkerFile = "package-managed";

// The environment of this installation: program folder, temporary folder, the tools present.
UpdateEnvironment DefaultUpdateEnvironment(Dialogs* dialogs);

// -1 error, 0 nothing to launch, 1 launch the prepared program, 2 a newer version is out but
// the package manager installs it (package-managed installations only; nothing was fetched).
int UpdateProgramFiles(const std::string& description, int programVersion,
                       std::string* launchFolder, std::string* launchFile,
                       std::string* launchArgument, bool* mayWrite, CHttpConnect& connection,
                       bool hidden, CancelFlag* stop, std::string* report,
                       const UpdateEnvironment& environment);

bool LaunchUpdater(const std::string& folder, const std::string& file, const std::string& argument,
                   bool mayWrite, const UpdateEnvironment& environment);

bool CheckUpdate(CHttpConnect& connection, bool hidden, bool* quit, CancelFlag* stop,
                 std::string* report, const UpdateEnvironment& environment);

// The system launcher: "open" spawns the program in a session of its own, "runas" goes through
// pkexec (and fails when there is none).
bool LaunchDetached(const std::string& verb, const std::string& program,
                    const std::string& argument, const std::string& workFolder);

}  // namespace zerva
