#include "model/chunk_source.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/fs.h"

namespace zerva {

bool MemoryChunkSource::Read(uint64_t offset, size_t count, std::string* out) {
  if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
  out->assign(bytes_.substr(offset, count));
  return true;
}

FileChunkSource::FileChunkSource(const std::string& path) : fd_(OpenRegularFile(path)) {
  struct stat st;
  if (fd_ >= 0 && ::fstat(fd_, &st) == 0 && st.st_size > 0)
    size_ = static_cast<uint64_t>(st.st_size);
}

FileChunkSource::~FileChunkSource() {
  if (fd_ >= 0) ::close(fd_);
}

bool FileChunkSource::Read(uint64_t offset, size_t count, std::string* out) {
  if (fd_ < 0 || offset > size_ || count > size_ - offset) return false;
  out->resize(count);
  size_t filled = 0;
  while (filled < count) {
    const ssize_t n =
        ::pread(fd_, out->data() + filled, count - filled, static_cast<off_t>(offset + filled));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // the file shrank meanwhile, or cannot be read
    filled += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace zerva
