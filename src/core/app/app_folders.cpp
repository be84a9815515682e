#include "app/app_folders.h"

#include <sys/stat.h>

#include <mutex>

#include "platform/folders.h"
#include "platform/fs.h"

namespace zerva {
namespace {

std::mutex& DomainMutex() {
  static std::mutex mutex;
  return mutex;
}

std::string& DomainName() {
  static std::string name = kDefaultServiceDomainName;
  return name;
}

// A folder name taken from outside (ini file, service): never a path of its own.
std::string SafeFolderName(std::string name) {
  for (char& c : name) {
    if (c == '/' || c == '\\' || c == '\0') c = '_';
  }
  if (name.empty() || name == "." || name == "..") name = "_";
  return name;
}

}  // namespace

void SetServiceDomainName(const std::string& name) {
  std::lock_guard<std::mutex> lock(DomainMutex());
  DomainName() = name;
}

std::string ServiceDomainName() {
  std::lock_guard<std::mutex> lock(DomainMutex());
  return DomainName();
}

std::string TempFolder() {
  const std::string folder = CacheRoot() + SafeFolderName(ServiceDomainName()) + "/";
  struct stat st;
  const bool exists = ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
  if (exists || CreateDirectoryPath(folder, nullptr, 0700)) {
    // Prepared photos and the log are private, whatever the umask or an older run made of it.
    if (!exists || (st.st_mode & 0777) != 0700) ::chmod(folder.c_str(), 0700);
    return folder;
  }
  const std::string fallback = ProgramFolder() + "temp/";
  CreateDirectoryPath(fallback, nullptr, 0700);
  return fallback;
}

std::string TempSubFolder(const std::string& name) {
  const std::string folder = TempFolder() + SafeFolderName(name) + "/";
  CreateDirectoryPath(folder, nullptr, 0700);
  return folder;
}

}  // namespace zerva
