// What zerva-cli does to an album around the album editor's page, which makes the album: the
// folder of the command line found among the user's albums, the folder's new files taken in and
// photos whose files are gone left to the editor's question (zerva-cli uploads a folder as it
// is).
#pragma once

#include <string>
#include <vector>

namespace zerva {
class CAlbum;
class CAlbumMngr;
class CPhoto;
class CzervaApp;
}  // namespace zerva

namespace zerva::cli {

// The folder as an absolute path without a trailing "/", symbolic links resolved; empty when
// it is no folder.
std::string CanonicalFolder(const std::string& folder);

// The user's album whose local folder is `folder` (the newest when several are); null for none.
const CAlbum* FindAlbumOfFolder(const CAlbumMngr& albums, const std::string& folder);

// Every item not in the album whose file is in the folder becomes part of it, marked for upload
// and with its EXIF texts and orientation. Returns how many.
int TakeInNewFiles(CAlbum& album);

// The included items whose local files are gone, left out of the album.
struct GoneItems {
  std::vector<CPhoto*> items;
  bool albumWasModified = false;
};
// Leaves them out, which changes the album; the editor then asks whether they may go from the
// service too.
GoneItems LeaveOutGoneItems(CAlbum& album);
// Takes them in again and the album is as it was.
void IncludeAgain(CAlbum& album, const GoneItems& gone);

// How many photos the upload will prepare.
int CountToPrepare(const CAlbum& album);

}  // namespace zerva::cli
