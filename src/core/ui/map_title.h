// The map page reports positions through its document title:
// "Loc:<latitude>,<longitude>,<zoom>,<flag>", the flag "y" when the user saved the place.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zerva {

// The page's own title before it reports anything.
inline constexpr const char* kMapPageOwnTitle = "Tarvik Google Maps";

struct MapTitleReport {
  double latitude = 0.0;
  double longitude = 0.0;
  int zoom = 0;
  std::string flag;  // the rest of the title after the third ","
  bool Saved() const { return flag == "y"; }
};

// The position a title reports; nullopt for "about:blank", the page's own title, anything not
// beginning with "Loc:", fewer than four fields, numbers that are not plain decimals (with "."),
// positions off the globe and zooms outside 0..30.
std::optional<MapTitleReport> ParseMapTitle(std::string_view title);

}  // namespace zerva
