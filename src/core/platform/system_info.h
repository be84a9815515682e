// Facts about the machine for the usage statistics: processor, memory, administrator rights.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zerva {

struct ProcessorInfo {
  int count = 0;
  // The Windows-style numbers the statistics carry, derived from uname and /proc/cpuinfo:
  // architecture (9 x86_64, 12 arm64, 0 x86, 5 arm), processor type (8664, 586 or 0), level (the
  // family), revision ((model << 8) | stepping).
  unsigned architecture = 0;
  unsigned type = 0;
  unsigned level = 0;
  unsigned revision = 0;
  std::optional<int> mhz;
  std::string identifier;  // "x86_64 Family 6 Model 85 Stepping 7"; empty when unknown
  std::string name;        // "model name"
  std::string vendor;      // "vendor_id"
};

ProcessorInfo ReadProcessorInfo();
// Parses the text of /proc/cpuinfo (the first processor) into `info`.
void ParseCpuInfo(const std::string& text, ProcessorInfo* info);
// Total physical memory in MiB; 0 when unknown.
int64_t PhysicalMemoryMiB();
// Root, or a member of the sudo, wheel or admin group.
bool IsAdministrator();

}  // namespace zerva
