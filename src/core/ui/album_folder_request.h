// The album folder picker as the album editor and the albums page open it for a new album: the
// folders the user chose before (the login's "DirHistory"), newest first and starting in the
// newest, with the choice of only some of the folder's files.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "app/dialogs.h"

namespace zerva {

class Profile;

// The login's folder history, newest first.
std::vector<std::string> DirHistoryNewestFirst(const Profile& profile, std::string_view loginName);
AlbumFolderRequest NewAlbumFolderRequest(const Profile& profile, std::string_view loginName);

}  // namespace zerva
