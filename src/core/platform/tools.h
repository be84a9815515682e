// Presence of the external video tools (ffmpeg, ffplay).
#pragma once

#include <string>

namespace zerva {

struct ToolLocation {
  bool present = false;
  std::string path;      // what to run
  bool bundled = false;  // from the program folder, with its ".ver" file
};

// The program folder's `name` when both it and `name`.ver exist there, else `name` on PATH.
ToolLocation FindTool(const std::string& name, const std::string& programFolder);
ToolLocation FindTool(const std::string& name);  // in ProgramFolder()

// Looks `name` up in the folders of PATH; empty when it is not there.
std::string FindOnPath(const std::string& name);

}  // namespace zerva
