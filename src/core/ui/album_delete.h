// Deleting one of the user's albums on the service, as the albums page and zerva-cli's delete
// verb do it: the call under the wait popup, the used size the service reports, the album gone
// from the list with its cached covers. Asking first is the caller's part.
#pragma once

#include <string>

namespace zerva {

class CzervaApp;

// False leaves the list as it was and puts into `errorText` what the user is shown: the
// translation of "msgDeletingAlbumError" with the service's own text.
[[nodiscard]] bool DeleteServerAlbum(CzervaApp& app, int albumId, std::string* errorText);

}  // namespace zerva
