#include "media/file_copy.h"

#include "media/image_load.h"
#include "platform/fs.h"

namespace zerva {

bool CopyFileReplacing(const std::string& from, const std::string& to, std::string* error) {
  auto fail = [&](const char* reason) {
    if (error != nullptr) *error = "CopyFile " + from + " -> " + to + ": " + reason;
    return false;
  };
  std::string data;
  // Only pictures are copied, so the picture bound applies.
  if (!ReadFileBounded(from, kMaxImageFileBytes, &data)) {
    return fail("the source cannot be read or is too large");
  }
  if (!WriteFileAtomic(to, data)) return fail("the target cannot be written");
  return true;
}

}  // namespace zerva
