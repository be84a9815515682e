// Items' map positions: the thumbnail list's position commands on the application's GPS location
// picker (with the user's map provider of the moment), and a position given to items by the user
// (the picker or zerva-cli's --gps), after which the album's map opens there and the item is sent
// again.
#pragma once

namespace zerva {

class CAlbum;
class CPhoto;
class CzervaApp;
struct ThumbsListHooks;

// Sets canEditLocation and locate. An edit centres a map without a position on the current
// album's map centre and keeps the zoom the user left the map at as the album's map zoom.
void SetLocationHooks(CzervaApp& app, ThumbsListHooks* hooks);

// The item holds its new position (none, when it was deleted).
void MarkItemLocated(CAlbum& album, CPhoto& item);

// Every included item without a position takes this one; returns how many did.
int LocateItemsWithoutPosition(CAlbum& album, double latitude, double longitude);

}  // namespace zerva
