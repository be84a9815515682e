#include "ui/album_folder_request.h"

#include <algorithm>

#include "app/history_list.h"
#include "lang/text.h"

namespace zerva {

std::vector<std::string> DirHistoryNewestFirst(const Profile& profile, std::string_view loginName) {
  std::vector<std::string> history = DirHistory(profile, loginName);
  std::reverse(history.begin(), history.end());
  return history;
}

AlbumFolderRequest NewAlbumFolderRequest(const Profile& profile, std::string_view loginName) {
  AlbumFolderRequest request;
  request.title = Text("sourceDirectory");
  request.history = DirHistoryNewestFirst(profile, loginName);
  if (!request.history.empty()) request.startFolder = request.history.front();
  request.allowFiles = true;
  return request;
}

}  // namespace zerva
