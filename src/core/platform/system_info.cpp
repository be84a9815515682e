#include "platform/system_info.h"

#include <grp.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <cstdlib>
#include <sstream>
#include <vector>

#include "platform/fs.h"

namespace zerva {
namespace {

std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

int ToInt(const std::string& text) {
  return std::atoi(text.c_str());
}

}  // namespace

void ParseCpuInfo(const std::string& text, ProcessorInfo* info) {
  std::istringstream lines(text);
  std::string line;
  int family = -1, model = -1, stepping = -1;
  while (std::getline(lines, line)) {
    if (Trim(line).empty()) break;  // the first processor is enough
    const size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string key = Trim(line.substr(0, colon));
    const std::string value = Trim(line.substr(colon + 1));
    if (key == "model name") {
      info->name = value;
    } else if (key == "vendor_id") {
      info->vendor = value;
    } else if (key == "cpu family") {
      family = ToInt(value);
    } else if (key == "model") {
      model = ToInt(value);
    } else if (key == "stepping") {
      stepping = ToInt(value);
    } else if (key == "cpu MHz") {
      info->mhz = static_cast<int>(std::atof(value.c_str()));
    }
  }
  if (family >= 0) info->level = static_cast<unsigned>(family);
  if (model >= 0 && stepping >= 0) {
    info->revision = (static_cast<unsigned>(model) << 8) | static_cast<unsigned>(stepping);
  }
  if (family >= 0 && model >= 0 && stepping >= 0) {
    struct utsname un;
    const std::string machine = ::uname(&un) == 0 ? un.machine : "";
    info->identifier = machine + " Family " + std::to_string(family) + " Model " +
                       std::to_string(model) + " Stepping " + std::to_string(stepping);
  }
}

ProcessorInfo ReadProcessorInfo() {
  ProcessorInfo info;
  const long count = ::sysconf(_SC_NPROCESSORS_ONLN);
  info.count = count > 0 ? static_cast<int>(count) : 0;
  struct utsname un;
  if (::uname(&un) == 0) {
    const std::string machine = un.machine;
    if (machine == "x86_64") {
      info.architecture = 9;
      info.type = 8664;
    } else if (machine == "aarch64") {
      info.architecture = 12;
    } else if (machine.size() == 4 && machine[0] == 'i' && machine.substr(2) == "86") {
      info.architecture = 0;
      info.type = 586;
    } else if (machine.rfind("arm", 0) == 0) {
      info.architecture = 5;
    }
  }
  std::string text;
  if (ReadFileBounded("/proc/cpuinfo", 4 << 20, &text)) ParseCpuInfo(text, &info);
  return info;
}

int64_t PhysicalMemoryMiB() {
  const long pages = ::sysconf(_SC_PHYS_PAGES);
  const long pageSize = ::sysconf(_SC_PAGESIZE);
  if (pages <= 0 || pageSize <= 0) return 0;
  return static_cast<int64_t>(pages) * pageSize / (1024 * 1024);
}

bool IsAdministrator() {
  if (::geteuid() == 0) return true;
  const int count = ::getgroups(0, nullptr);
  if (count <= 0) return false;
  std::vector<gid_t> groups(static_cast<size_t>(count));
  if (::getgroups(count, groups.data()) != count) return false;
  for (const gid_t gid : groups) {
    if (const group* g = ::getgrgid(gid)) {
      const std::string name = g->gr_name;
      if (name == "sudo" || name == "wheel" || name == "admin") return true;
    }
  }
  return false;
}

}  // namespace zerva
