// The album list as zerva-cli prints it: one line per album, tab-separated, in the order of an
// album sort key.
#pragma once

#include <string>
#include <vector>

namespace zerva {
class CAlbum;
class CAlbumMngr;
}  // namespace zerva

namespace zerva::cli {

// The albums ordered by `key` (0 to 6): ascending is A to Z, oldest first, fewest first.
// Albums that compare equal keep the service's order.
std::vector<const CAlbum*> SortedAlbums(const CAlbumMngr& albums, int key, bool ascending);

// "ID <tab> NAME <tab> PHOTOS <tab> VIDEOS <tab> CREATED <tab> ADDRESS": the name without HTML,
// tabs and line breaks made blanks, so every album stays one line of six fields.
std::string AlbumLine(const CAlbum& album);

}  // namespace zerva::cli
