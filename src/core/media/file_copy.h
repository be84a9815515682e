// Copying a prepared or source file over an upload file, whole or not at all.
#pragma once

#include <string>

namespace zerva {

// Copies `from` over `to` through a temporary file that is renamed into place, so a reader never
// sees half a file. False with `error` = "CopyFile <from> -> <to>: <reason>"; `to` is then as it
// was.
bool CopyFileReplacing(const std::string& from, const std::string& to,
                       std::string* error = nullptr);

}  // namespace zerva
