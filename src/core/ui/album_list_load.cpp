#include "ui/album_list_load.h"

#include <string>

#include "app/trace.h"
#include "lang/text.h"
#include "model/album_mngr.h"
#include "ui/zerva_app.h"

namespace zerva {

bool LoadAlbumList(CzervaApp& app) {
  CUserSession& session = app.Session();
  while (true) {
    std::string list;
    bool loaded = false;
    app.ShowWaitMessage(Text("msgGetAlbumListStrFromServerText"),
                        Text("msgGetAlbumListStrFromServerTitle"));
    for (int attempt = 0; attempt < kAlbumListTries && !loaded; ++attempt) {
      loaded = session.GetAlbumList(0, &list);
    }
    app.HideWaitMessage();
    if (loaded) {
      if (list == kNoAlbumsAnswer) list.clear();
      app.AlbumMngr().Sync(list);
      return true;
    }
    TraceText(kTraceError, "GetAlbums failed: " + session.LastError());
    if (app.MessageBox(Text("msgLoadingErrorRetry"), MessageKind::kError, MessageButtons::kYesNo) !=
        Reply::kYes) {
      return false;
    }
  }
}

}  // namespace zerva
