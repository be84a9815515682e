#include "update/unpack_archive.h"

#include <vector>

#include "app/trace.h"
#include "platform/fs.h"
#include "update/zip_archive.h"

namespace zerva {

bool UnpackArchive(const std::string& archivePath, const std::string& folder) {
  ZipArchive archive;
  if (!archive.Open(archivePath)) {
    Trace(kTraceError, 0, "download> UnZip> zip no open - error: \"%s\"\n", archivePath.c_str());
    return false;
  }
  TraceText(kTraceNotice, "download> UnZip> zip open " + archivePath);
  std::vector<ZipItem> items;
  if (!archive.ReadItems(&items)) {
    Trace(kTraceError, 0, "download> UnZip> GetZipItem failed\n");
    return false;
  }
  Trace(kTraceNotice, 0, "download> UnZip> num items %d\n", static_cast<int>(items.size()));
  bool ok = true;
  for (size_t i = items.size(); i-- > 0;) {
    const ZipItem& item = items[i];
    Trace(kTraceNotice, 0, "download> UnZip> zip item name: \"%s\" (%d)\n", item.name.c_str(),
          static_cast<int>(item.attributes));
    if (item.attributes != kZipFolderAttributes && item.attributes != kZipFileAttributes) continue;
    const std::string target = SafeItemPath(folder, item.name);
    // An item that would land outside the folder is refused outright: a hostile or damaged
    // archive must not write anywhere else on the disk.
    const bool safe = !target.empty() && !PathCrossesLink(folder, target);
    if (item.attributes == kZipFolderAttributes) {
      const bool made = safe && CreateDirectoryPath(target);
      Trace(made ? kTraceNotice : kTraceError, 0, "download> UnZip> CreateDirectory: \"%s\"\n",
            (safe ? target : item.name).c_str());
      ok = ok && made;
    } else {
      const bool written = safe && archive.Extract(i, target);
      Trace(written ? kTraceNotice : kTraceError, 0, "download> UnZip> unzip file: \"%s\"\n",
            (safe ? target : item.name).c_str());
      ok = ok && written;
    }
  }
  archive.Close();
  return ok;
}

}  // namespace zerva
