// File helpers shared by every floor: bounded reads, atomic writes, directory trees.
#pragma once

#include <cstdint>
#include <string>

namespace zerva {

bool FileExists(const std::string& path);  // a regular file
bool DirectoryExists(const std::string& path);
// Size in bytes, -1 when the file is missing.
int64_t FileSize(const std::string& path);

// Reads at most `maxBytes`; false when the file cannot be opened or is larger than the bound.
bool ReadFileBounded(const std::string& path, int64_t maxBytes, std::string* out);
// Writes through a temporary file in the same folder and renames it over `path`, so that a
// crash mid-write leaves either the old or the new content. The file gets `mode`.
bool WriteFileAtomic(const std::string& path, const std::string& data, unsigned mode = 0644);

// Creates every missing level; on failure `error` gets
// "CreateDirectory <path> failed: <code> - <text>".
bool CreateDirectoryPath(const std::string& path, std::string* error = nullptr,
                         unsigned mode = 0755);
// Removes everything below `path`, then `path` itself; true when nothing is left.
bool DeleteDirectoryTree(const std::string& path);

// Ensures `path` ends in exactly one "/".
std::string WithTrailingSlash(std::string path);

}  // namespace zerva
