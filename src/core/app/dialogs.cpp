#include "app/dialogs.h"

#include "app/app_folders.h"
#include "lang/text.h"

namespace zerva {

std::string MessageCaption(MessageKind kind) {
  std::string caption = ServiceDomainName();
  if (!caption.empty() && caption.back() == '/') caption.pop_back();
  caption += " | ";
  switch (kind) {
    case MessageKind::kInformation:
      return caption + Text("msgInfo");
    case MessageKind::kWarning:
      return caption + Text("msgWarning");
    case MessageKind::kError:
      return caption + Text("msgError");
  }
  return caption;
}

std::vector<FileFilterEntry> ParseFileFilters(const std::string& filters) {
  std::vector<FileFilterEntry> entries;
  size_t at = 0;
  while (at < filters.size()) {
    const size_t nameEnd = filters.find('|', at);
    if (nameEnd == std::string::npos || nameEnd == at) break;
    const size_t patternsEnd = filters.find('|', nameEnd + 1);
    if (patternsEnd == std::string::npos || patternsEnd == nameEnd + 1) break;
    entries.push_back(
        {filters.substr(at, nameEnd - at), filters.substr(nameEnd + 1, patternsEnd - nameEnd - 1)});
    at = patternsEnd + 1;
  }
  return entries;
}

std::vector<std::string> Dialogs::PickFilesWithFilters(const std::string& title,
                                                       const std::string& startFolder,
                                                       const std::string& filters,
                                                       int selectedFilter) {
  const std::vector<FileFilterEntry> entries = ParseFileFilters(filters);
  std::string patterns;
  if (selectedFilter >= 0 && static_cast<size_t>(selectedFilter) < entries.size()) {
    patterns = entries[static_cast<size_t>(selectedFilter)].patterns;
  } else if (!entries.empty()) {
    patterns = entries.front().patterns;
  }
  return PickFiles(title, startFolder, patterns);
}

AlbumFolderChoice Dialogs::PickAlbumFolder(const AlbumFolderRequest& request) {
  AlbumFolderChoice choice;
  choice.folder = PickFolder(request.title, request.startFolder).value_or(std::string());
  return choice;
}

}  // namespace zerva
