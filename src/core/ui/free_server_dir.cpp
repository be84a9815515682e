#include "ui/free_server_dir.h"

#include "model/album_mngr.h"

namespace zerva {

std::string FreeServerDir(const CAlbumMngr& albums, const std::string& serverDir, int albumID) {
  std::string candidate = serverDir;
  // The list is finite, so a free name is found within one more try than it has albums.
  for (int n = 2; albums.FindByServerDir(candidate, albumID) != nullptr; ++n) {
    candidate = serverDir + "_" + std::to_string(n);
  }
  return candidate;
}

}  // namespace zerva
