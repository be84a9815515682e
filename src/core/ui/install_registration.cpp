#include "ui/install_registration.h"

#include <algorithm>

#include "app/trace.h"
#include "media/child_process.h"
#include "net/endpoints.h"
#include "net/http_connect.h"
#include "net/http_mngr.h"
#include "platform/desktop_entry.h"
#include "platform/fs.h"
#include "platform/tools.h"

namespace zerva {
namespace {

constexpr const char* kScheme = "x-scheme-handler/zerva";
constexpr const char* kDesktopFile = "zerva.desktop";
constexpr const char* kInstalledDesktopFile = "org.zerva.Zerva.desktop";
constexpr int kXdgMimeTimeoutMs = 10000;
constexpr int64_t kMaxDesktopEntryBytes = 64 * 1024;

// Runs xdg-mime; its output when it ended with 0, nullopt-like failure as false.
bool RunXdgMime(const std::vector<std::string>& args, std::string* output) {
  ProcessCommand command;
  command.args.push_back("xdg-mime");
  command.args.insert(command.args.end(), args.begin(), args.end());
  for (const std::string& a : command.args) command.text += (command.text.empty() ? "" : " ") + a;
  ChildProcess process(true);
  if (!process.Start(command, true)) return false;
  int exitCode = -1;
  const std::string text = process.ReadOutputFor(kXdgMimeTimeoutMs, &exitCode);
  if (output) *output = text;
  return exitCode == 0;
}

std::string Trimmed(std::string text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) {
    text.pop_back();
  }
  return text;
}

// Whether xdg-mime names `desktopFile` as the handler of zerva addresses.
bool HandlerIs(const std::string& desktopFile) {
  std::string handler;
  return RunXdgMime({"query", "default", kScheme}, &handler) && Trimmed(handler) == desktopFile;
}

}  // namespace

std::string ProtocolDesktopEntry(const std::string& executablePath) {
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=zerva\n"
         "Comment=URL:Zerva protocol\n"
         "Exec=\"" +
         executablePath +
         "\" %u\n"
         "MimeType=" +
         std::string(kScheme) +
         ";\n"
         "NoDisplay=true\n"
         "Terminal=false\n";
}

std::string ProtocolDesktopFilePath() {
  return XdgDataFolders().front() + "applications/" + kDesktopFile;
}

std::string InstalledDesktopEntryPath(const std::string& executablePath) {
  const std::string folder = executablePath.substr(0, executablePath.rfind('/') + 1);
  return folder + "../share/applications/" + kInstalledDesktopFile;
}

bool InstalledEntryLaunches(const std::string& executablePath) {
  if (!FileExists(InstalledDesktopEntryPath(executablePath))) return false;
  // The desktop takes the first file of that name along its data folders: the installed one,
  // or a copy a menu editor made in the user's folder. A prefix outside them is not searched.
  for (const std::string& folder : XdgDataFolders()) {
    const std::string candidate = folder + "applications/" + kInstalledDesktopFile;
    if (!FileExists(candidate)) continue;
    std::string text;
    if (!ReadFileBounded(candidate, kMaxDesktopEntryBytes, &text)) return false;
    const DesktopEntryLaunch launch = ReadDesktopEntryLaunch(text);
    if (std::find(launch.mimeTypes.begin(), launch.mimeTypes.end(), kScheme) ==
        launch.mimeTypes.end()) {
      return false;
    }
    // A bare name is looked up along PATH by whoever starts it.
    const std::string program =
        launch.program.find('/') == std::string::npos ? FindOnPath(launch.program) : launch.program;
    return !program.empty() && SameFile(program, executablePath);
  }
  return false;
}

DesktopInstallRegistration::DesktopInstallRegistration(CHttpMngr& manager) : manager_(manager) {}

DesktopInstallRegistration::~DesktopInstallRegistration() {
  Join();
}

bool DesktopInstallRegistration::Registered(const std::string& executablePath) {
  std::string text;
  if (!ReadFileBounded(ProtocolDesktopFilePath(), kMaxDesktopEntryBytes, &text) ||
      text != ProtocolDesktopEntry(executablePath)) {
    return false;
  }
  return HandlerIs(kDesktopFile);
}

bool DesktopInstallRegistration::RegisterInstalledEntry() {
  if (HandlerIs(kInstalledDesktopFile)) return true;
  // An entry of our own from an earlier run stays where it is: it is simply no longer the
  // handler.
  if (!RunXdgMime({"default", kInstalledDesktopFile, kScheme}, nullptr)) {
    TraceText(kTraceWarning,
              std::string("RegisterUrlProtocol: cannot register ") + kInstalledDesktopFile);
    return false;
  }
  return HandlerIs(kInstalledDesktopFile);
}

bool DesktopInstallRegistration::RegisterUrlProtocol(const std::string& executablePath) {
  if (InstalledEntryLaunches(executablePath)) return RegisterInstalledEntry();
  if (Registered(executablePath)) return true;
  const std::string path = ProtocolDesktopFilePath();
  const std::string folder = path.substr(0, path.rfind('/'));
  if (!CreateDirectoryPath(folder) ||
      !WriteFileAtomic(path, ProtocolDesktopEntry(executablePath), 0644) ||
      !RunXdgMime({"default", kDesktopFile, kScheme}, nullptr)) {
    TraceText(kTraceWarning, "RegisterUrlProtocol: cannot register " + path);
    return false;
  }
  return Registered(executablePath);
}

void DesktopInstallRegistration::Request(bool installed) {
  std::unique_ptr<CHttpConnect> connection = manager_.GetConnection();
  connection->GetUrlToString(InstallStatusUrl(installed));
  manager_.ReleaseConnection(connection);
}

void DesktopInstallRegistration::NotifyStatus(bool installed, int /*delayMs*/) {
  // The delay closes an embedded page after it loaded; a plain request has nothing to close.
  if (!installed) {
    Request(false);
    return;
  }
  std::lock_guard<std::mutex> lock(mutex_);
  workers_.emplace_back([this] { Request(true); });
}

void DesktopInstallRegistration::Join() {
  std::vector<std::thread> workers;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    workers.swap(workers_);
  }
  for (std::thread& worker : workers) worker.join();
}

}  // namespace zerva
