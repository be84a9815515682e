#include "platform/tools.h"

#include <unistd.h>

#include <cstdlib>

#include "platform/folders.h"
#include "platform/fs.h"

namespace zerva {

std::string FindOnPath(const std::string& name) {
  if (name.empty() || name.find('/') != std::string::npos) return {};
  const char* path = std::getenv("PATH");
  if (!path) return {};
  const std::string folders = path;
  size_t pos = 0;
  while (pos <= folders.size()) {
    size_t end = folders.find(':', pos);
    if (end == std::string::npos) end = folders.size();
    const std::string folder = folders.substr(pos, end - pos);
    pos = end + 1;
    if (folder.empty()) continue;
    const std::string candidate = WithTrailingSlash(folder) + name;
    if (FileExists(candidate) && ::access(candidate.c_str(), X_OK) == 0) return candidate;
  }
  return {};
}

ToolLocation FindTool(const std::string& name, const std::string& programFolder) {
  ToolLocation location;
  const std::string bundled = WithTrailingSlash(programFolder) + name;
  if (FileExists(bundled) && FileExists(bundled + ".ver")) {
    location.present = true;
    location.bundled = true;
    location.path = bundled;
    return location;
  }
  location.path = FindOnPath(name);
  location.present = !location.path.empty();
  return location;
}

ToolLocation FindTool(const std::string& name) {
  return FindTool(name, ProgramFolder());
}

}  // namespace zerva
