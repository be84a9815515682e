// Where the program's files live on Linux.
#pragma once

#include <string>

namespace zerva {

// $HOME, else the user's home from the password database, else /tmp; no trailing "/".
std::string HomeFolder();
// Full path of the running executable.
std::string ExecutablePath();
// Folder of the executable with a trailing "/"; the language files, the ini file and the
// licences are looked up there. Computed once.
std::string ProgramFolder();
// Where a data file lives: the program folder when it has the file, else <prefix>/share/zerva/.
std::string DataFilePath(const std::string& name);
// The same for a program in `programFolder` (with or without a trailing "/"). When neither place
// has the file, the program folder's path, so that a message names where it was expected.
std::string DataFilePathIn(const std::string& programFolder, const std::string& name);
// $XDG_CACHE_HOME/zerva/ (default ~/.cache/zerva/), with a trailing "/"; not created here.
std::string CacheRoot();
// $XDG_CONFIG_HOME/zerva/ (default ~/.config/zerva/), with a trailing "/"; not created here.
std::string ConfigRoot();

}  // namespace zerva
