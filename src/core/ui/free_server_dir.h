// A server directory no other album of the user has: the album's own when it is free, otherwise
// the first of its name with "_2", "_3" ... appended that is.
#pragma once

#include <string>

namespace zerva {

class CAlbumMngr;

// `serverDir` itself, or serverDir + "_N" for the smallest N from 2 on that no album but
// `albumID` uses (compared ignoring case).
std::string FreeServerDir(const CAlbumMngr& albums, const std::string& serverDir, int albumID);

}  // namespace zerva
