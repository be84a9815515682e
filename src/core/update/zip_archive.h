// A minimal ZIP reader on minizip: open an archive, list its items with their attribute bits,
// unpack one item to a file.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace zerva {

// DOS attribute bytes the update archives use for their folders and files.
inline constexpr unsigned kZipFolderAttributes = 145;
inline constexpr unsigned kZipFileAttributes = 161;
// An item larger than this is not unpacked: a hostile archive could fill the disk.
inline constexpr uint64_t kMaxZipItemBytes = 2ull << 30;

struct ZipItem {
  std::string name;
  unsigned attributes = 0;  // the low byte of the external attributes (DOS attributes)
  uint64_t size = 0;        // uncompressed size as the archive states it
};

class ZipArchive {
 public:
  ZipArchive();
  ~ZipArchive();
  ZipArchive(const ZipArchive&) = delete;
  ZipArchive& operator=(const ZipArchive&) = delete;

  bool Open(const std::string& path);
  void Close();
  // The items in archive order; false when the directory cannot be read.
  bool ReadItems(std::vector<ZipItem>* items);
  // Unpacks item `index` (archive order) into `path` through a temporary file, creating
  // missing folders; never more than the stated size, and never past kMaxZipItemBytes.
  bool Extract(size_t index, const std::string& path);

 private:
  void* handle_ = nullptr;
};

// Where an item goes inside `folder` (which ends in "/"): "\" counts as "/"; empty when the name
// would leave the folder (absolute, "..", a drive letter) or is empty.
std::string SafeItemPath(const std::string& folder, const std::string& itemName);
// Whether some part of `path` below `folder` is a symbolic link (it could lead outside).
bool PathCrossesLink(const std::string& folder, const std::string& path);

}  // namespace zerva
