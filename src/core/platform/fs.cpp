#include "platform/fs.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <string_view>
#include <system_error>

#include "platform/system_error.h"

namespace zerva {

bool FileExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

int64_t FileSize(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return -1;
  return static_cast<int64_t>(st.st_size);
}

int OpenRegularFile(const std::string& path, int flags) {
  if (path.empty()) {
    errno = ENOENT;
    return -1;
  }
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | flags);
  if (fd < 0) return -1;
  struct stat st;
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    ::close(fd);
    errno = EINVAL;
    return -1;
  }
  // Reads of a regular file behave the same either way; callers get an ordinary descriptor.
  const int status = ::fcntl(fd, F_GETFL);
  if (status != -1) ::fcntl(fd, F_SETFL, status & ~O_NONBLOCK);
  return fd;
}

std::FILE* OpenRegularStream(const std::string& path, const char* mode) {
  const bool update = std::string_view(mode).find('+') != std::string_view::npos;
  const int fd = OpenRegularFile(path, update ? O_RDWR : 0);
  if (fd < 0) return nullptr;
  std::FILE* file = ::fdopen(fd, mode);
  if (file == nullptr) ::close(fd);
  return file;
}

bool ReadFileHead(const std::string& path, size_t maxBytes, std::string* out) {
  out->clear();
  const int fd = OpenRegularFile(path);
  if (fd < 0) return false;
  out->resize(maxBytes);
  size_t filled = 0;
  bool failed = false;
  while (filled < maxBytes) {
    const ssize_t n = ::read(fd, out->data() + filled, maxBytes - filled);
    if (n < 0 && errno == EINTR) continue;
    failed = n < 0;
    if (n <= 0) break;
    filled += static_cast<size_t>(n);
  }
  ::close(fd);
  out->resize(failed ? 0 : filled);
  return !failed;
}

bool ReadFileBounded(const std::string& path, int64_t maxBytes, std::string* out) {
  out->clear();
  const int fd = OpenRegularFile(path);
  if (fd < 0) return false;
  struct stat st;
  if (::fstat(fd, &st) != 0 || st.st_size > maxBytes) {
    ::close(fd);
    return false;
  }
  out->reserve(static_cast<size_t>(st.st_size));
  char buffer[65536];
  while (true) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      out->clear();
      return false;
    }
    if (n == 0) break;
    // The file may grow while it is read; the bound still holds.
    if (static_cast<int64_t>(out->size()) + n > maxBytes) {
      ::close(fd);
      out->clear();
      return false;
    }
    out->append(buffer, static_cast<size_t>(n));
  }
  ::close(fd);
  return true;
}

bool WriteFileAtomic(const std::string& path, const std::string& data, unsigned mode) {
  std::string tmp = path + ".tmpXXXXXX";
  const int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  bool ok = ::fchmod(fd, mode) == 0;
  size_t written = 0;
  while (ok && written < data.size()) {
    const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      ok = false;
      break;
    }
    written += static_cast<size_t>(n);
  }
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (ok && ::rename(tmp.c_str(), path.c_str()) == 0) return true;
  ::unlink(tmp.c_str());
  return false;
}

bool CreateDirectoryPath(const std::string& path, std::string* error, unsigned mode) {
  if (path.empty()) return false;
  std::string partial;
  size_t pos = 0;
  while (pos <= path.size()) {
    const size_t slash = path.find('/', pos);
    const size_t end = slash == std::string::npos ? path.size() : slash;
    partial = path.substr(0, end);
    pos = end + 1;
    if (partial.empty() || DirectoryExists(partial)) {
      if (slash == std::string::npos) break;
      continue;
    }
    if (::mkdir(partial.c_str(), mode) != 0 && errno != EEXIST) {
      if (error) *error = "CreateDirectory " + path + " failed: " + WindowsErrorText(errno);
      return false;
    }
    if (slash == std::string::npos) break;
  }
  if (!DirectoryExists(path)) {
    if (error) *error = "CreateDirectory " + path + " failed: " + WindowsErrorText(ENOTDIR);
    return false;
  }
  return true;
}

bool DeleteDirectoryTree(const std::string& path) {
  std::error_code ec;
  if (!std::filesystem::exists(std::filesystem::symlink_status(path, ec))) return true;
  std::filesystem::remove_all(path, ec);
  return !ec;
}

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code error;
  return std::filesystem::equivalent(a, b, error) && !error;
}

std::string WithTrailingSlash(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  if (path != "/") path += '/';
  return path;
}

}  // namespace zerva
