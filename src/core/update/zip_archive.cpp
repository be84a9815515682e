#include "update/zip_archive.h"

#include <sys/stat.h>
#include <unistd.h>
#include <unzip.h>

#include <cstdio>
#include <vector>

#include "platform/fs.h"

namespace zerva {
namespace {

unzFile File(void* handle) {
  return static_cast<unzFile>(handle);
}

}  // namespace

ZipArchive::ZipArchive() = default;

ZipArchive::~ZipArchive() {
  Close();
}

bool ZipArchive::Open(const std::string& path) {
  Close();
  handle_ = unzOpen64(path.c_str());
  return handle_ != nullptr;
}

void ZipArchive::Close() {
  if (handle_ != nullptr) unzClose(File(handle_));
  handle_ = nullptr;
}

bool ZipArchive::ReadItems(std::vector<ZipItem>* items) {
  items->clear();
  if (handle_ == nullptr) return false;
  unz_global_info64 global{};
  if (unzGetGlobalInfo64(File(handle_), &global) != UNZ_OK) return false;
  if (global.number_entry == 0) return true;
  if (unzGoToFirstFile(File(handle_)) != UNZ_OK) return false;
  do {
    unz_file_info64 info{};
    char name[4096];
    if (unzGetCurrentFileInfo64(File(handle_), &info, name, sizeof name, nullptr, 0, nullptr, 0) !=
        UNZ_OK) {
      return false;
    }
    items->push_back(
        ZipItem{name, static_cast<unsigned>(info.external_fa & 0xff), info.uncompressed_size});
    // The directory is read once; a lying entry count cannot make this loop longer.
  } while (items->size() < 65535 && unzGoToNextFile(File(handle_)) == UNZ_OK);
  return true;
}

bool ZipArchive::Extract(size_t index, const std::string& path) {
  if (handle_ == nullptr || unzGoToFirstFile(File(handle_)) != UNZ_OK) return false;
  for (size_t i = 0; i < index; ++i) {
    if (unzGoToNextFile(File(handle_)) != UNZ_OK) return false;
  }
  unz_file_info64 info{};
  if (unzGetCurrentFileInfo64(File(handle_), &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK ||
      info.uncompressed_size > kMaxZipItemBytes) {
    return false;
  }
  const size_t slash = path.rfind('/');
  if (slash != std::string::npos && !CreateDirectoryPath(path.substr(0, slash))) return false;
  if (unzOpenCurrentFile(File(handle_)) != UNZ_OK) return false;
  const std::string temporary = path + ".unzip-tmp";
  FILE* out = std::fopen(temporary.c_str(), "wb");
  bool ok = out != nullptr;
  uint64_t written = 0;
  std::vector<char> buffer(1 << 16);
  while (ok) {
    const int n =
        unzReadCurrentFile(File(handle_), buffer.data(), static_cast<unsigned>(buffer.size()));
    if (n < 0) ok = false;
    if (n <= 0) break;
    written += static_cast<uint64_t>(n);
    // Never more than the archive promised: a bomb that lies about its size stops here.
    if (written > info.uncompressed_size) ok = false;
    if (ok && std::fwrite(buffer.data(), 1, static_cast<size_t>(n), out) != static_cast<size_t>(n))
      ok = false;
  }
  // minizip checks the CRC when the item is closed.
  if (unzCloseCurrentFile(File(handle_)) != UNZ_OK) ok = false;
  if (out != nullptr && std::fclose(out) != 0) ok = false;
  if (ok && written != info.uncompressed_size) ok = false;
  if (ok && std::rename(temporary.c_str(), path.c_str()) == 0) return true;
  ::unlink(temporary.c_str());
  return false;
}

std::string SafeItemPath(const std::string& folder, const std::string& itemName) {
  std::string name = itemName;
  for (char& c : name) {
    if (c == '\\') c = '/';
  }
  if (name.empty() || name[0] == '/' || name.find('\0') != std::string::npos) return {};
  if (name.size() >= 2 && name[1] == ':') return {};  // "C:..."
  size_t start = 0;
  while (start <= name.size()) {
    size_t end = name.find('/', start);
    if (end == std::string::npos) end = name.size();
    const std::string part = name.substr(start, end - start);
    if (part == "..") return {};
    start = end + 1;
  }
  while (!name.empty() && name.back() == '/') name.pop_back();
  if (name.empty()) return {};
  return WithTrailingSlash(folder) + name;
}

bool PathCrossesLink(const std::string& folder, const std::string& path) {
  const std::string base = WithTrailingSlash(folder);
  if (path.compare(0, base.size(), base) != 0) return true;
  size_t pos = base.size();
  while (pos < path.size()) {
    size_t end = path.find('/', pos);
    if (end == std::string::npos) end = path.size();
    struct stat st;
    if (::lstat(path.substr(0, end).c_str(), &st) == 0 && S_ISLNK(st.st_mode)) return true;
    pos = end + 1;
  }
  return false;
}

}  // namespace zerva
