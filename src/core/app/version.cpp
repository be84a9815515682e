#include "app/version.h"

#include <cstdio>

namespace zerva {

std::string VersionLine(const std::string& versionWord) {
  char numbers[64];
  std::snprintf(numbers, sizeof numbers, "%d.%d.%d.%d", kVersionMajor, kVersionMinor,
                kVersionRelease, kVersionBuild);
  return std::string(kProductName) + ", " + versionWord + " " + numbers;
}

std::string ProgramVersionLine(const std::string& program) {
  return program + ", ver. " + kVersionText;
}

}  // namespace zerva
