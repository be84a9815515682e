// program/googlemaps.php: a self-contained map picker (no outside tiles). It reads lat, lon,
// zoom, dlat, dlon, w, h, t1, t2, t3 and edit from its own address and reports positions by
// setting its document title to "Loc:<lat>,<lon>,<zoom>,<flag>" (flag "y" when saved).
#pragma once

#include <string>

namespace zerva::server {

// The page's title until a position is reported.
inline constexpr const char* kMapPageTitle = "Tarvik Google Maps";
const std::string& MapPageHtml();

}  // namespace zerva::server
