// The screenshot tool's pictures of the album editor (with its details, the protection popup
// and its menus), the upload page during a run, the album folder picker and the progress window
// of an original video.
#pragma once

#include <QString>
#include <string>
#include <vector>

#include "gui/zerva_window.h"
#include "shooter.h"

namespace zerva::test {

// Draws `count` colourful photos of `width` x `height` into `folder` as JPEG files.
std::vector<std::string> DrawPhotos(const std::string& folder, int count, int width, int height);

// The album editor, entered forward with the photos' folder chosen in the folder picker; the
// album is named `albumName`.
void ShootAlbumEditor(gui::ZervaWindow& window, Shooter& shooter, const QString& albumName);
// Sends the editor's album and shoots the upload page while the bar moves; returns once the
// session has left the page.
void ShootUpload(gui::ZervaWindow& window, Shooter& shooter);
// The picker open in `folder`, two of its photos chosen, with `history` as the recent folders.
void ShootFolderPicker(gui::ZervaWindow& window, Shooter& shooter, const std::string& folder,
                       const std::vector<std::string>& history);
void ShootOriginalProgress(gui::ZervaWindow& window, Shooter& shooter);

}  // namespace zerva::test
