// The screenshot tool's pictures of the album editor (with its details, the protection popup
// and its menus), the upload page during a run, the album folder picker and the progress window
// of an original video.
#pragma once

#include <string>
#include <vector>

#include "gui/zerva_window.h"
#include "shooter.h"

namespace zerva::test {

// Draws `count` colourful photos of `width` x `height` into `folder` as JPEG files.
std::vector<std::string> DrawPhotos(const std::string& folder, int count, int width, int height);

// The album editor, entered forward with `photos` chosen in the folder picker.
void ShootAlbumEditor(gui::ZervaWindow& window, Shooter& shooter, const std::string& photos);
// Sends the album of `photos` (named `albumName`) and shoots the upload page while the bar
// moves; returns once the session has left the page.
void ShootUpload(gui::ZervaWindow& window, Shooter& shooter, const std::string& photos,
                 const std::string& albumName);
// The picker open in `folder`, two of its photos chosen, with `history` as the recent folders.
void ShootFolderPicker(gui::ZervaWindow& window, Shooter& shooter, const std::string& folder,
                       const std::vector<std::string>& history);
void ShootOriginalProgress(gui::ZervaWindow& window, Shooter& shooter);

}  // namespace zerva::test
