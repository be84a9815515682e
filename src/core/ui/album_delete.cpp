#include "ui/album_delete.h"

#include "app/elements.h"
#include "lang/text.h"
#include "net/bug_report.h"
#include "ui/zerva_app.h"

namespace zerva {

bool DeleteServerAlbum(CzervaApp& app, int albumId, std::string* errorText) {
  CUserSession& session = app.Session();
  const SessionCredentials credentials = session.Credentials();
  app.ShowWaitMessage(Text("msgDeletingAlbum"), Text("msgInfo"));
  const ApiResult result =
      app.MainConnection()->DeleteAlbum(credentials.name, credentials.passwordDigest, albumId);
  app.HideWaitMessage();
  if (!result.Ok()) {
    *errorText = ServiceErrorText(Text("msgDeletingAlbumError"), result.message);
    return false;
  }
  session.MutableDetails().usedSize = static_cast<int>(GetElementInt(result.value, "usedSize"));
  CAlbumMngr& albums = app.AlbumMngr();
  albums.Remove(albumId);
  albums.DropCover(albumId, false);
  albums.DropCover(albumId, true);
  if (app.CurrentAlbumId() == albumId) app.SetCurrentAlbumId(0);
  return true;
}

}  // namespace zerva
