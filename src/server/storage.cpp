#include "server/storage.h"

#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

#include "platform/fs.h"

namespace zerva::server {
namespace fs = std::filesystem;

Storage::Storage(const std::string& dataDir) : root_(WithTrailingSlash(dataDir)) {}

bool Storage::Prepare(std::string* error) const {
  for (const char* sub :
       {"files", "blocks", "originals", "bugs", "media", "update", "lang", "tmp"}) {
    if (!CreateDirectoryPath(root_ + sub, error)) return false;
  }
  // Leftovers of requests that died mid-way.
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(root_ + "tmp", ec)) fs::remove_all(entry, ec);
  return true;
}

std::string Storage::UserFolder(int64_t userId) const {
  return root_ + "files/" + std::to_string(userId) + "/";
}

std::string Storage::AlbumFolder(int64_t userId, const std::string& serverDir) const {
  return UserFolder(userId) + serverDir + "/";
}

std::string Storage::AlbumFile(int64_t userId, const std::string& serverDir, const std::string& sub,
                               const std::string& fileName) const {
  return AlbumFolder(userId, serverDir) + sub + "/" + fileName;
}

std::string Storage::VideoFile(int64_t userId, const std::string& serverDir,
                               const std::string& fileName) const {
  return AlbumFolder(userId, serverDir) + "video/" + fileName + ".mp4";
}

std::string Storage::BlockFolder(int64_t videoFileId) const {
  return root_ + "blocks/" + std::to_string(videoFileId) + "/";
}

std::string Storage::BlockFile(int64_t videoFileId, int64_t index) const {
  return BlockFolder(videoFileId) + std::to_string(index) + ".blk";
}

std::string Storage::OriginalsFolder(int64_t userId) const {
  return root_ + "originals/" + std::to_string(userId) + "/";
}

std::string Storage::BugFile(int64_t reportId) const {
  return root_ + "bugs/" + std::to_string(reportId) + ".bin";
}

std::string Storage::MediaFile(const std::string& name) const {
  return root_ + "media/" + name;
}

bool Storage::WriteTemp(std::string_view data, std::string* tmpPath, std::string* error) const {
  static std::atomic<uint64_t> counter{0};
  thread_local std::mt19937_64 rng{std::random_device{}()};
  *tmpPath = root_ + "tmp/" + std::to_string(::getpid()) + "-" + std::to_string(++counter) + "-" +
             std::to_string(rng() % 1000000000) + ".part";
  const int fd = ::open(tmpPath->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
  if (fd < 0) {
    *error = std::string("cannot create temporary file: ") + std::strerror(errno);
    return false;
  }
  size_t written = 0;
  while (written < data.size()) {
    const ssize_t n = ::write(fd, data.data() + written, data.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      *error = std::string("cannot write temporary file: ") + std::strerror(errno);
      ::close(fd);
      ::unlink(tmpPath->c_str());
      return false;
    }
    written += static_cast<size_t>(n);
  }
  if (::close(fd) != 0) {
    *error = std::string("cannot write temporary file: ") + std::strerror(errno);
    ::unlink(tmpPath->c_str());
    return false;
  }
  return true;
}

bool Storage::CommitTemp(const std::string& tmpPath, const std::string& finalPath,
                         std::string* error) const {
  const std::string folder = fs::path(finalPath).parent_path().string();
  if (!CreateDirectoryPath(folder, error)) return false;
  if (::rename(tmpPath.c_str(), finalPath.c_str()) != 0) {
    *error = std::string("cannot store file: ") + std::strerror(errno);
    return false;
  }
  return true;
}

void Storage::DropTemp(const std::string& tmpPath) const {
  if (!tmpPath.empty()) ::unlink(tmpPath.c_str());
}

int64_t Storage::UsedBytes(int64_t userId) const {
  int64_t total = 0;
  std::error_code ec;
  for (const std::string& folder : {UserFolder(userId), OriginalsFolder(userId)}) {
    if (!fs::is_directory(folder, ec)) continue;
    for (auto it = fs::recursive_directory_iterator(folder, ec);
         !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
      if (it->is_regular_file(ec)) total += static_cast<int64_t>(it->file_size(ec));
    }
  }
  return total;
}

std::vector<std::pair<std::string, int64_t>> Storage::ListFiles(const std::string& folder) {
  std::vector<std::pair<std::string, int64_t>> out;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(folder, ec)) {
    std::error_code sizeEc;
    if (!entry.is_regular_file(sizeEc)) continue;
    const auto size = entry.file_size(sizeEc);
    if (sizeEc) continue;
    out.emplace_back(entry.path().filename().string(), static_cast<int64_t>(size));
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace zerva::server
