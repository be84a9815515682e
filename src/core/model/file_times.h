// The two file times the model records: the modification time that tells whether a local file
// changed since its upload, and the creation time that stands in for a missing photo date.
#pragma once

#include <cstdint>
#include <string>

namespace zerva {

// Seconds since 1970 of the last modification; -1 when the path is empty or cannot be queried.
int64_t FileModificationTime(const std::string& path);
// Seconds since 1970 of the file's creation (birth time where the file system keeps one, else
// the modification time); -1 when the file cannot be queried.
int64_t FileCreationTime(const std::string& path);
// FileCreationTime as "%Y-%m-%d %H:%M:%S" in local time; empty when it cannot be read.
std::string FileCreationTimeText(const std::string& path);

}  // namespace zerva
