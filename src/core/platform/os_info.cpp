#include "platform/os_info.h"

#include <sys/utsname.h>

#include <cstdio>
#include <cstdlib>

#include "platform/fs.h"

namespace zerva {
namespace {

// PRETTY_NAME of /etc/os-release without its quotes, or empty.
std::string DistributionName() {
  std::string text;
  if (!ReadFileBounded("/etc/os-release", 64 * 1024, &text)) return {};
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find('\n', pos);
    if (end == std::string::npos) end = text.size();
    const std::string line = text.substr(pos, end - pos);
    pos = end + 1;
    static const std::string key = "PRETTY_NAME=";
    if (line.compare(0, key.size(), key) != 0) continue;
    std::string value = line.substr(key.size());
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
      value = value.substr(1, value.size() - 2);
    }
    return value;
  }
  return {};
}

}  // namespace

std::string OsVersionString(int* major, int* minor) {
  if (major) *major = 0;
  if (minor) *minor = 0;
  struct utsname un;
  if (::uname(&un) != 0) return "unknown OS";
  int kernelMajor = 0, kernelMinor = 0, kernelPatch = 0;
  std::sscanf(un.release, "%d.%d.%d", &kernelMajor, &kernelMinor, &kernelPatch);
  if (major) *major = kernelMajor;
  if (minor) *minor = kernelMinor;
  char head[96];
  // Platform ID 5 is free in the Windows numbering; it marks a Linux client in reports.
  std::snprintf(head, sizeof head, "%d.%d.%d, platform ID %d, ", kernelMajor, kernelMinor,
                kernelPatch, 5);
  std::string text = head;
  text += un.sysname;
  const std::string distribution = DistributionName();
  if (!distribution.empty()) text += " " + distribution;
  text += " ";
  text += un.machine;
  return text;
}

bool IsWine(std::string* text) {
  if (text) text->clear();
  return false;
}

}  // namespace zerva
