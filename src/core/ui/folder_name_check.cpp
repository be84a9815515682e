#include "ui/folder_name_check.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "jobs/job_description.h"
#include "lang/text.h"
#include "model/exif_text.h"

namespace zerva {
namespace {

// "a, b, c" of the first names, then ", ..." when more were found; sorted so the warning does
// not depend on the order the directory lists them in.
std::string NameList(std::vector<std::string> names) {
  std::sort(names.begin(), names.end());
  std::string list;
  for (size_t i = 0; i < names.size() && i < kEncodingWarningNames; ++i) {
    if (i > 0) list += ", ";
    list += CleanUtf8(names[i], names[i].size());
  }
  if (names.size() > kEncodingWarningNames) list += ", ...";
  return list;
}

}  // namespace

NameEncodingProblems FindNonUtf8Names(const std::string& folder) {
  NameEncodingProblems problems;
  if (!IsValidUtf8(folder)) problems.folders.push_back(folder);
  std::error_code error;
  std::filesystem::directory_iterator it(folder, error);
  for (; !error && it != std::filesystem::directory_iterator(); it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (IsValidUtf8(name)) continue;
    std::error_code kindError;
    if (it->is_directory(kindError)) {
      problems.folders.push_back(name);
    } else {
      problems.files.push_back(name);
    }
  }
  return problems;
}

std::string EncodingWarning(const NameEncodingProblems& problems) {
  if (problems.Empty()) return {};
  std::string text;
  if (!problems.files.empty()) {
    text += FillJobText(Text("msgEncodingErrorFile"),
                        {std::to_string(problems.files.size()), NameList(problems.files)});
  }
  if (!problems.folders.empty()) {
    if (!text.empty()) text += "<br>";
    text += FillJobText(Text("msgEncodingErrorFolder"),
                        {std::to_string(problems.folders.size()), NameList(problems.folders)});
  }
  return text + "<br>" + Text("msgEncodingCheck");
}

}  // namespace zerva
