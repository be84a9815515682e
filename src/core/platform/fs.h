// File helpers shared by every floor: bounded reads, atomic writes, directory trees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace zerva {

bool FileExists(const std::string& path);  // a regular file
bool DirectoryExists(const std::string& path);
// Size in bytes, -1 when the file is missing.
int64_t FileSize(const std::string& path);

// Opens a regular file without ever waiting on a FIFO, a device or a socket that carries the
// name: opened non-blocking and checked on the descriptor, so a file swapped after a check is
// caught too. `flags` adds O_RDWR or the like to the read-only default. -1 with errno set
// (EINVAL for anything that is not a regular file).
int OpenRegularFile(const std::string& path, int flags = 0);
// The same as a stdio stream ("rb", "r+b").
std::FILE* OpenRegularStream(const std::string& path, const char* mode);

// Reads at most `maxBytes`; false when the file cannot be opened or is larger than the bound.
bool ReadFileBounded(const std::string& path, int64_t maxBytes, std::string* out);
// The first `maxBytes` of a regular file (all of a shorter one); false when it cannot be opened.
bool ReadFileHead(const std::string& path, size_t maxBytes, std::string* out);
// Writes through a temporary file in the same folder and renames it over `path`, so that a
// crash mid-write leaves either the old or the new content. The file gets `mode`.
bool WriteFileAtomic(const std::string& path, const std::string& data, unsigned mode = 0644);

// Creates every missing level; on failure `error` gets
// "CreateDirectory <path> failed: <code> - <text>".
bool CreateDirectoryPath(const std::string& path, std::string* error = nullptr,
                         unsigned mode = 0755);
// Removes everything below `path`, then `path` itself; true when nothing is left.
bool DeleteDirectoryTree(const std::string& path);

// Whether both paths name one existing file (through links too).
bool SameFile(const std::string& a, const std::string& b);

// Ensures `path` ends in exactly one "/".
std::string WithTrailingSlash(std::string path);

}  // namespace zerva
