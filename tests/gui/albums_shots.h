// The screenshot tool's pictures of the albums page: several albums with covers, one of them
// with an interrupted upload, and the sort menu open with its web submenu.
#pragma once

#include <string>

#include "gui/zerva_window.h"
#include "shooter.h"

namespace zerva::test {

class ServerFixture;

// Puts more albums on the service for the signed-in `user` (whose password is `password`),
// shows the albums page and shoots it and its sort menu.
void ShootAlbumsPage(gui::ZervaWindow& window, Shooter& shooter, const ServerFixture& server,
                     const std::string& user, const std::string& password);

}  // namespace zerva::test
