// A fresh folder per test, removed afterwards.
#pragma once

#include <string>
#include <vector>

namespace zerva::test {

class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  // The folder with a trailing "/".
  const std::string& Path() const { return path_; }
  // Path() + name; writes `content` there when given.
  std::string File(const std::string& name) const { return path_ + name; }
  std::string Write(const std::string& name, const std::string& content) const;

 private:
  std::string path_;
};

// Points XDG_CACHE_HOME and XDG_CONFIG_HOME at a fresh folder for the life of the object, so
// that settings, trace log and temporary files of a test never touch the user's own.
class IsolatedHome {
 public:
  IsolatedHome();
  ~IsolatedHome();
  const TempDir& Dir() const { return dir_; }
  std::string CacheRoot() const { return dir_.Path() + "cache/"; }
  std::string ConfigRoot() const { return dir_.Path() + "config/"; }

 private:
  TempDir dir_;
  std::string oldCache_, oldConfig_;
  bool hadCache_ = false, hadConfig_ = false;
};

std::string ReadWholeFile(const std::string& path);
// The permission bits of a file or folder; 0 when it does not exist.
unsigned ModeOf(const std::string& path);
// The names in a folder, sorted.
std::vector<std::string> FolderNames(const std::string& folder);

}  // namespace zerva::test
