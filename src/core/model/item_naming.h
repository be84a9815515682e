// The file name an item gets on the service.
#pragma once

#include <string>
#include <string_view>

namespace zerva {

class CAlbum;

// The sanitised file name with its extension replaced by ".jpg" (appended when it has none);
// videos too, their own upload name is the video record's.
std::string MakeServerFileName(std::string_view fileName);
// The first of name, base + "1" + ext, base + "2" + ext ... whose part before the last "."
// differs, ignoring case, from that of every item's fileName in the album.
void MakeUniqueFileName(const CAlbum& album, std::string* name);

}  // namespace zerva
