#include "model/photo.h"

#include "model/file_times.h"

namespace zerva {

int64_t CPhoto::LocalFileTime() const {
  return FileModificationTime(localPath);
}

bool CPhoto::LocalFileChanged() const {
  const int64_t t = LocalFileTime();
  return t != OriginalCode && t != OriginalCode + kFileTimeTolerance &&
         OriginalCode != t + kFileTimeTolerance;
}

bool CPhoto::CanShowImage() const {
  if (isVideo) return false;
  return localFileAvailable || photoID > 0;
}

void CPhoto::SumFileSizes() {
  fileSize = thumbSize + hdSize + imageSize + patchSize + videoSize;
}

bool CPhoto::RebasePath(const std::string& oldFolder, const std::string& newFolder) {
  if (localPath.empty() || localFileAvailable) return false;
  const size_t slash = localPath.rfind('/');
  if (slash == std::string::npos || localPath.compare(0, slash, oldFolder) != 0 ||
      slash != oldFolder.size()) {
    return false;
  }
  localPath = newFolder + localPath.substr(slash);
  edited = true;
  return true;
}

std::string FolderOfPath(std::string_view path) {
  const size_t slash = path.rfind('/');
  return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string FileNameOfPath(std::string_view path) {
  const size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace zerva
