// The thumbnail list's position commands on the application's GPS location picker, with the
// user's map provider of the moment.
#pragma once

namespace zerva {

class CzervaApp;
struct ThumbsListHooks;

// Sets canEditLocation and locate. An edit centres a map without a position on the current
// album's map centre and keeps the zoom the user left the map at as the album's map zoom.
void SetLocationHooks(CzervaApp& app, ThumbsListHooks* hooks);

}  // namespace zerva
