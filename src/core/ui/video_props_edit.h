// The one way into the video properties dialog: every page that offers it calls this.
#pragma once

namespace zerva {

class CPhoto;
class CzervaApp;

// The dialog can work on the item: a video whose local file is there (the preview, a new cut
// and a new thumbnail are all made from it) and whose length is known.
bool CanEditVideoProperties(const CPhoto& video);

// Shows the video properties dialog for `video` and applies an OK: a new cut marks the
// video for conversion, a new thumbnail position remakes the thumbnail (SetVideoThumbPos
// alone when that is all that changed). True when something changed.
//
// A changed item is marked edited and to be sent (so that the next upload sends its new frame
// with the new position), and the current album, when it holds the item, is marked modified.
// Without a window factory on the application, or for an item the dialog cannot work on,
// nothing is shown and false is returned. Whoever else works on the item's pictures (the
// thumbnail list's loader) must be stopped first.
[[nodiscard]] bool EditVideoProperties(CzervaApp& app, CPhoto& video);

}  // namespace zerva
