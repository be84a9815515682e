// The order of the user's album list and of the albums on the user's web page, as the albums
// page's sort menu and zerva-cli's albums verb choose them. One rule for both front ends.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "session/sort_state.h"

namespace zerva {

class CAlbum;
class CAlbumMngr;
class CUserSession;

// The albums in `order` (its key, direction 1 ascending); equal values keep the service's order.
std::vector<CAlbum*> SortedAlbums(const CAlbumMngr& albums, const SortState& order);

// A choice in a sort menu: the current key flips its direction, another key becomes current
// with the direction last chosen for it.
void ChooseSortKey(SortState& order, int key);

// "name", "created", "modified", "count", "size", "from", "to" (and "photos" or a digit 0 to 6)
// for the local keys 0 to 6; nothing for any other word.
std::optional<int> AlbumSortKeyFromName(std::string_view name);
// The first of those words for a key; "" outside 0 to 6.
const char* AlbumSortKeyName(int key);
// The service's names of the web orders ("createDate", "viewCount", "albumName", "date",
// "lastComment") for 101 to 105.
std::optional<int> PageOrderKeyFromName(std::string_view name);

// A web order chosen: the session's page order takes it (ChooseSortKey's rule) and is sent with
// the user details. On failure the previous order is back and the session's LastError says why.
[[nodiscard]] bool ChooseWebOrder(CUserSession& session, int key);

}  // namespace zerva
