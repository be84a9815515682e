// What the pages reach the GPS location picker through ("IGps"): showing an item's position on
// a map and, where the user's map provider and the window allow it, picking a new one.
#pragma once

#include <string>

namespace zerva {

class IGps {
 public:
  virtual ~IGps() = default;
  // 0: the service's own map page; 1: an external map site that can only display.
  virtual void SetProvider(int provider) = 0;
  // An embedded map is available and the provider is the service's page.
  virtual bool CanEdit() const = 0;
  // Shows the position; without an embedded map it opens the map in the default browser.
  virtual void ShowLocation(double longitude, double latitude, int zoom,
                            const std::string& itemName) = 0;
  // Lets the user pick a position for an item now at `*longitude`, `*latitude` (both 0: none),
  // the map centred on the centre arguments in that case. True, with the three values
  // replaced, when the saved position differs from the one given; false (nothing written)
  // otherwise and whenever CanEdit does not hold.
  [[nodiscard]] virtual bool EditLocation(double* longitude, double* latitude, int* zoom,
                                          double centreLongitude, double centreLatitude,
                                          const std::string& itemName) = 0;
};

}  // namespace zerva
