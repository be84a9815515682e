// Debian's command-line tools the tests make fixtures with (exiftool, heif-enc, cwebp), run
// quietly: a test skips when a tool is missing and fails when it refuses its input.
#pragma once

#include <cstdlib>
#include <string>

#include "platform/tools.h"

namespace zerva::test {

inline bool HaveTool(const char* program) {
  return !FindOnPath(program).empty();
}

// The shell command with its output discarded; true when it exits with 0.
inline bool RunQuietly(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
}

// Runs exiftool with the arguments (each already quoted as needed) on the file, in place.
inline bool Exiftool(const std::string& path, const std::string& arguments) {
  return RunQuietly("exiftool -q -q -overwrite_original " + arguments + " '" + path + "'");
}

}  // namespace zerva::test
