// The screenshot tool's picture of the GPS picker with the service's map page.
#pragma once

#include "gui/zerva_window.h"
#include "shooter.h"

namespace zerva::test {

// The picker editing a photo's position, with a new place pointed at but not yet saved. Nothing
// when the program was built without an embedded browser.
void ShootGpsPicker(gui::ZervaWindow& window, Shooter& shooter);

}  // namespace zerva::test
