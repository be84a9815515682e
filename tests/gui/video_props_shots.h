// The screenshot tool's picture of the video properties dialog with a preview frame.
#pragma once

#include "gui/zerva_window.h"
#include "shooter.h"

namespace zerva::test {

// The dialog over the window on a small test video, trimmed, with the frame shown.
void ShootVideoProperties(gui::ZervaWindow& window, Shooter& shooter);

}  // namespace zerva::test
