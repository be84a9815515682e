#include "model/file_times.h"

#include <fcntl.h>
#include <sys/stat.h>

#include "app/text_utils.h"

namespace zerva {

int64_t FileModificationTime(const std::string& path) {
  struct stat st;
  if (path.empty() || ::stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_mtime);
}

int64_t FileCreationTime(const std::string& path) {
  if (path.empty()) return -1;
  struct statx stx;
  if (::statx(AT_FDCWD, path.c_str(), 0, STATX_BTIME | STATX_MTIME, &stx) != 0) return -1;
  if ((stx.stx_mask & STATX_BTIME) && stx.stx_btime.tv_sec > 0) {
    return static_cast<int64_t>(stx.stx_btime.tv_sec);
  }
  return static_cast<int64_t>(stx.stx_mtime.tv_sec);
}

std::string FileCreationTimeText(const std::string& path) {
  const int64_t created = FileCreationTime(path);
  if (created < 0) return {};
  return FormatDateTime(static_cast<std::time_t>(created));
}

}  // namespace zerva
