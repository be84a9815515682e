#include "model/chunk_source.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "platform/fs.h"

namespace zerva {

bool ChunkSource::Read(uint64_t offset, size_t count, std::string* out) {
  out->resize(count);
  if (ReadInto(offset, count, out->data())) return true;
  out->clear();
  return false;
}

bool ChunkSource::ReadUpTo(uint64_t offset, size_t count, std::string* out) {
  if (offset > Size()) {
    out->clear();
    return false;
  }
  return Read(offset, static_cast<size_t>(std::min<uint64_t>(count, Size() - offset)), out);
}

bool MemoryChunkSource::ReadInto(uint64_t offset, size_t count, char* out) {
  if (offset > bytes_.size() || count > bytes_.size() - offset) return false;
  if (count > 0) std::memcpy(out, bytes_.data() + offset, count);
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

bool FileChunkSource::ReadInto(uint64_t offset, size_t count, char* out) {
  if (fd_ < 0 || offset > size_ || count > size_ - offset) return false;
  size_t filled = 0;
  while (filled < count) {
    const ssize_t n =
        ::pread(fd_, out + filled, count - filled, static_cast<off_t>(offset + filled));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;  // the file shrank meanwhile, or cannot be read
    filled += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace zerva
