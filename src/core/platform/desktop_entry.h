// Reading a desktop entry (the launcher files of Linux desktops) as far as a URL handler needs:
// which program it starts and which types it takes.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zerva {

struct DesktopEntryLaunch {
  std::string program;                 // the first word of Exec, unquoted and unescaped
  std::vector<std::string> mimeTypes;  // the MimeType list
};

// The keys of the [Desktop Entry] group; other groups (actions) and translated keys are passed
// over. Empty fields when the text has no such group or keys.
DesktopEntryLaunch ReadDesktopEntryLaunch(std::string_view text);

// The folders the desktop searches for applications/, first one first: $XDG_DATA_HOME (default
// ~/.local/share), then $XDG_DATA_DIRS (default /usr/local/share:/usr/share). Relative entries
// are ignored; each folder ends with "/".
std::vector<std::string> XdgDataFolders();

}  // namespace zerva
