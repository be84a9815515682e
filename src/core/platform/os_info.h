// The description of the operating system written to the trace log, statistics and reports.
#pragma once

#include <string>

namespace zerva {

// "<major>.<minor>.<patch>, platform ID 5, Linux <distribution> <machine>" from uname and
// /etc/os-release; "unknown OS" when nothing can be read. Major and minor are the kernel's.
std::string OsVersionString(int* major = nullptr, int* minor = nullptr);

// Never true on Linux: there is no Wine layer under a native build.
bool IsWine(std::string* text = nullptr);

}  // namespace zerva
