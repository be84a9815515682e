// Names in a chosen album folder that are not valid UTF-8: the program's texts and the service
// take names as UTF-8, so such files and folders would reach the album under garbled names. The
// folder picker warns about them before the folder is taken.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zerva {

// At most this many names are listed in the warning; the rest are counted.
inline constexpr size_t kEncodingWarningNames = 5;

struct NameEncodingProblems {
  // Names (not paths) of the folder's entries, as their bytes.
  std::vector<std::string> files;
  std::vector<std::string> folders;
  bool Empty() const { return files.empty() && folders.empty(); }
};

// The entries directly in `folder` whose names are not valid UTF-8; the folder's own path
// counts as a folder name when it is not. Nothing for a folder that cannot be read.
NameEncodingProblems FindNonUtf8Names(const std::string& folder);
// The warning of the picker: "msgEncodingErrorFile" and "msgEncodingErrorFolder" with the names
// (bad bytes shown as "?"), then "msgEncodingCheck", lines joined by "<br>"; empty when there is
// nothing to warn about.
std::string EncodingWarning(const NameEncodingProblems& problems);

}  // namespace zerva
