// The user bar's Next button while an album is edited, the same on the album editor and on the
// photo detail page: "navFinish" for an album the service has, "newAlbum" for a new one, enabled
// once there is something to send and at least one item is included.
#pragma once

#include <string>

namespace zerva {

class CAlbum;

struct AlbumNextButtonState {
  std::string caption;     // translated
  std::string tooltipKey;  // empty while disabled
  bool enabled = false;
};

AlbumNextButtonState AlbumNextButton(const CAlbum& album);

}  // namespace zerva
