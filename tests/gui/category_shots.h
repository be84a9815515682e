// The screenshot tool's pictures of the category forms: the fixed competition form, the form
// the service describes for the flood category, and the built-in regional flood form, each with
// a validation error shown.
#pragma once

#include "gui/zerva_window.h"
#include "shooter.h"

namespace zerva::test {

// Needs a signed-in window (the category tree of the demo service).
void ShootCategoryForms(gui::ZervaWindow& window, Shooter& shooter);

}  // namespace zerva::test
