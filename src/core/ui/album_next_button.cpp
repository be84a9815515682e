#include "ui/album_next_button.h"

#include "lang/text.h"
#include "model/album.h"

namespace zerva {

AlbumNextButtonState AlbumNextButton(const CAlbum& album) {
  const bool existing = album.albumID >= 1;
  AlbumNextButtonState state;
  state.enabled = (album.modified || album.uploading != 0) && album.IncludedCount() > 0;
  if (state.enabled) state.tooltipKey = existing ? "navFinishNewTool" : "navFinishTool";
  state.caption = Text(existing ? "navFinish" : "newAlbum");
  return state;
}

}  // namespace zerva
