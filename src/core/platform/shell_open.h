// Opening a web page or a folder in the desktop's default program ("xdg-open"), the stand-in
// for the shell's "open" verb.
#pragma once

#include <functional>
#include <string>

namespace zerva {

// Opens `target` (a URL or a local path); true when the opener could be started.
using ShellOpener = std::function<bool(const std::string& target)>;

// Starts "xdg-open" with `target` as its only argument, in a session of its own with its
// input and output on /dev/null, and returns at once; no shell sees the text. The child is
// reaped in the background. False for an empty target or when xdg-open cannot be started.
bool XdgOpen(const std::string& target);

// Opens `target` with the current opener (XdgOpen unless a test replaced it).
bool ShellOpen(const std::string& target);
// Replaces the opener; an empty one restores XdgOpen. Returns the previous opener.
ShellOpener SetShellOpener(ShellOpener opener);

}  // namespace zerva
