// The album editor's target resolutions and what choosing one would do to the album's items:
// which would be sent larger or smaller than the service holds them, said in one sample text
// per entry. The upload page marks the same items when it applies the resolution.
#pragma once

#include <string>
#include <vector>

namespace zerva {

class CAlbum;
class CPhoto;

inline constexpr int kSmallResolution = 700;
inline constexpr int kMediumResolution = 1200;

// 700, 1200 and the user's maximum resolution when that is above 1200.
std::vector<int> TargetResolutions(int userMaximum);

struct ResolutionChange {
  // The service holds a smaller image than `size` and the source picture is larger (by more
  // than 16 pixels each); only an item with its local file can actually be sent larger.
  bool larger = false;
  // The service holds a larger image than `size`.
  bool smaller = false;
};
ResolutionChange ResolutionChangeAt(const CPhoto& item, int size);

// What choosing `size` means for the included items: "msgRaiseResolutionActual" for the
// album's present size, otherwise "msgRaiseResolutionUp" when some item would be sent larger;
// then how many of those can be ("msgRaiseResolutionX", "msgRaiseResolutionXofY",
// "msgRaiseResolutionFuture"), then ", " and "msgRaiseResolutionDown" with the items sent
// smaller. Empty when nothing would change at another size than the present one.
std::string ResolutionSampleText(const CAlbum& album, int size);

}  // namespace zerva
