// Loading the signed-in user's album list from the service into the album manager, as the
// sign-in, the return from the album editor and the end of an upload do.
#pragma once

namespace zerva {

class CzervaApp;

// Tries of one round before the user is asked whether to go on.
inline constexpr int kAlbumListTries = 3;

// GetAlbums under the wait popup ("msgGetAlbumListStrFromServerText"), up to three tries; when
// all fail the error question "msgLoadingErrorRetry" decides whether three more follow. On
// success the answer ("<NoAlbums>" counting as none) replaces the album manager's list. False
// when the user gave up; the list is then unchanged.
bool LoadAlbumList(CzervaApp& app);

}  // namespace zerva
