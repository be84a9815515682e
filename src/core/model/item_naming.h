// The file name an item gets on the service.
#pragma once

#include <string>
#include <string_view>

namespace zerva {

class CAlbum;
class CPhoto;

// The sanitised file name with its extension replaced by ".jpg" (appended when it has none);
// videos too, their own upload name is the video record's.
std::string MakeServerFileName(std::string_view fileName);
// The first of name, base + "1" + ext, base + "2" + ext ... whose part before the last "."
// differs, ignoring case, from that of every item's fileName in the album.
void MakeUniqueFileName(const CAlbum& album, std::string* name);
// The name the album editor's names menu gives an item by default: its local file's name (the
// service name when it has no local path) without the extension.
std::string DefaultItemName(const CPhoto& item);

}  // namespace zerva
