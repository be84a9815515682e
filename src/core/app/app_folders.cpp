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
  if (DirectoryExists(folder)) return folder;
  if (CreateDirectoryPath(folder, nullptr, 0700)) {
    ::chmod(folder.c_str(), 0700);  // whatever the umask made of it
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
