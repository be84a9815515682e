#include "support/temp_dir.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace zerva::test {
namespace {

std::string BaseFolder() {
  const char* base = std::getenv("ZERVA_TEST_TMP");
  std::string folder = base && *base ? base : std::filesystem::temp_directory_path().string();
  std::filesystem::create_directories(folder);
  return folder;
}

}  // namespace

TempDir::TempDir() {
  std::string pattern = BaseFolder() + "/zt-XXXXXX";
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern + "/";
}

TempDir::~TempDir() {
  std::error_code ec;
  std::filesystem::remove_all(path_, ec);
}

std::string TempDir::Write(const std::string& name, const std::string& content) const {
  const std::string path = File(name);
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream out(path, std::ios::binary);
  out << content;
  return path;
}

IsolatedHome::IsolatedHome() {
  if (const char* v = std::getenv("XDG_CACHE_HOME")) {
    hadCache_ = true;
    oldCache_ = v;
  }
  if (const char* v = std::getenv("XDG_CONFIG_HOME")) {
    hadConfig_ = true;
    oldConfig_ = v;
  }
  ::setenv("XDG_CACHE_HOME", CacheRoot().c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", ConfigRoot().c_str(), 1);
}

IsolatedHome::~IsolatedHome() {
  if (hadCache_) {
    ::setenv("XDG_CACHE_HOME", oldCache_.c_str(), 1);
  } else {
    ::unsetenv("XDG_CACHE_HOME");
  }
  if (hadConfig_) {
    ::setenv("XDG_CONFIG_HOME", oldConfig_.c_str(), 1);
  } else {
    ::unsetenv("XDG_CONFIG_HOME");
  }
}

std::string ReadWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

unsigned ModeOf(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return 0;
  return st.st_mode & 07777;
}

std::vector<std::string> FolderNames(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace zerva::test
