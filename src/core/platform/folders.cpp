#include "platform/folders.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <mutex>

#include "platform/fs.h"

namespace zerva {
std::string HomeFolder() {
  const char* home = std::getenv("HOME");
  if (home && *home) return home;
  if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/tmp";
}

namespace {

// An XDG base folder: the variable when it holds an absolute path, else the fallback below home.
std::string XdgFolder(const char* variable, const char* fallback) {
  const char* value = std::getenv(variable);
  if (value && value[0] == '/') return WithTrailingSlash(value);
  return WithTrailingSlash(HomeFolder() + "/" + fallback);
}

}  // namespace

std::string ExecutablePath() {
  char buffer[4096];
  const ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return {};
  return std::string(buffer, static_cast<size_t>(n));
}

std::string ProgramFolder() {
  static std::once_flag once;
  static std::string folder;
  std::call_once(once, [] {
    const std::string exe = ExecutablePath();
    const size_t slash = exe.rfind('/');
    folder = slash == std::string::npos ? std::string("./") : exe.substr(0, slash + 1);
  });
  return folder;
}

std::string DataFilePath(const std::string& name) {
  return DataFilePathIn(ProgramFolder(), name);
}

std::string DataFilePathIn(const std::string& programFolder, const std::string& name) {
  const std::string folder = WithTrailingSlash(programFolder);
  const std::string local = folder + name;
  if (FileExists(local)) return local;
  // An installed layout: <prefix>/bin/zerva and <prefix>/share/zerva/.
  const std::string shared = folder + "../share/zerva/" + name;
  if (FileExists(shared)) return shared;
  return local;
}

std::string CacheRoot() {
  return XdgFolder("XDG_CACHE_HOME", ".cache") + "zerva/";
}

std::string ConfigRoot() {
  return XdgFolder("XDG_CONFIG_HOME", ".config") + "zerva/";
}

}  // namespace zerva
