#include "ui/install_registration.h"

#include <cstdlib>

#include "app/trace.h"
#include "media/child_process.h"
#include "net/endpoints.h"
#include "net/http_connect.h"
#include "net/http_mngr.h"
#include "platform/fs.h"

namespace zerva {
namespace {

constexpr const char* kScheme = "x-scheme-handler/zerva";
constexpr const char* kDesktopFile = "zerva.desktop";
constexpr int kXdgMimeTimeoutMs = 10000;

std::string DataHome() {
  const char* value = std::getenv("XDG_DATA_HOME");
  if (value && value[0] == '/') return WithTrailingSlash(value);
  const char* home = std::getenv("HOME");
  return WithTrailingSlash(std::string(home && *home ? home : "/tmp") + "/.local/share");
}

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
  return DataHome() + "applications/" + kDesktopFile;
}

DesktopInstallRegistration::DesktopInstallRegistration(CHttpMngr& manager) : manager_(manager) {}

DesktopInstallRegistration::~DesktopInstallRegistration() {
  Join();
}

bool DesktopInstallRegistration::Registered(const std::string& executablePath) {
  std::string text;
  if (!ReadFileBounded(ProtocolDesktopFilePath(), 64 * 1024, &text) ||
      text != ProtocolDesktopEntry(executablePath)) {
    return false;
  }
  std::string handler;
  return RunXdgMime({"query", "default", kScheme}, &handler) && Trimmed(handler) == kDesktopFile;
}

bool DesktopInstallRegistration::RegisterUrlProtocol(const std::string& executablePath) {
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
