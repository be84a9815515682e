// Unpacking an update archive into a folder, with the log lines the update report relies on.
#pragma once

#include <string>

namespace zerva {

// Items are handled from the last to the first: attribute byte 145 makes a folder, 161 a file,
// anything else is left out. An item whose name would leave `folder` (absolute, "..") or pass
// through a symbolic link fails the unpack and writes nothing; later items are still handled.
// True when no step failed.
bool UnpackArchive(const std::string& archivePath, const std::string& folder);

}  // namespace zerva
