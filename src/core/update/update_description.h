// The service's update description ("files.dat"), the local version files and the instruction
// file for the external updater.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/version.h"

namespace zerva {

// The service compares builds by their number alone.
inline constexpr int kProgramVersionNumber = kVersionBuild;
// The Linux names of the external updater and of the program it starts again.
inline constexpr const char* kUpdaterFileName = "zerva-updater";
inline constexpr const char* kProgramFileName = "zerva";

struct DownloadAndRun {
  int versionCondition = 0;
  std::string runUrl;
  std::string runAs;
};

struct UpdateComponent {
  int version = 0;
  std::string name;  // local version file
  std::string quietUpdate;
  std::string nameZip;
  int64_t sizeZip = 0;
  std::string autoExtract;
  std::string BaseName() const;  // name without its extension
};

enum class ComponentGroup { kConverter, kPlayer, kProgram };
ComponentGroup GroupOf(const std::string& baseName);

std::vector<DownloadAndRun> ReadDownloadAndRun(std::string_view description);
// The `file` elements of the `files` element; `found` false when `files` is empty or absent.
std::vector<UpdateComponent> ReadComponents(std::string_view description, bool* found);
// The `number` of the `version` element of a local version file; 0 when anything is missing.
int LocalVersion(const std::string& versionFilePath);

struct UpdaterInstruction {
  std::string source;  // archive
  std::string target;  // folder
};
// The instruction text, exactly as the updater expects it.
std::string UpdaterXml(const std::vector<UpdaterInstruction>& files, const std::string& runPath);
// The instructions and the program to run, read back (the updater's side).
bool ParseUpdaterXml(std::string_view text, std::vector<UpdaterInstruction>* files,
                     std::string* runPath);

}  // namespace zerva
