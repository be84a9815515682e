// The screenshot tool's pictures of the post-upload page with the service's banners and of the
// send page, plain and with the address book open.
#pragma once

#include "gui/zerva_window.h"
#include "shooter.h"

namespace zerva::test {

// From the post-upload page an upload ended on: the page once its banners are in, a first mail
// sent (so that the address book has entries), then the send page and its address book popup.
// Ends on the post-upload page.
void ShootPostCopy(gui::ZervaWindow& window, Shooter& shooter);

}  // namespace zerva::test
