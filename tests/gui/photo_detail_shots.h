// The screenshot tool's pictures of the photo detail page, with a photo and with a video, and of
// the thumbnail list's properties window for each.
#pragma once

#include "gui/zerva_window.h"
#include "shooter.h"

namespace zerva::test {

// Called with the album editor showing its new album of photos: opens the first photo large,
// names and describes it; then adds a short video (when ffmpeg is there), shows it large, and
// leaves it out of the album again so that the upload that follows sends only the photos.
// Returns with the editor showing.
void ShootPhotoDetail(gui::ZervaWindow& window, Shooter& shooter);

}  // namespace zerva::test
