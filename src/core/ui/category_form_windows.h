// Where the category forms get their windows: the front end that can show them registers a
// maker while its main window lives, as the trace window is registered. Without one a category
// with a form cannot be added.
#pragma once

#include <functional>
#include <memory>

#include "ui/category_form_view.h"

namespace zerva {

using CategoryFormWindowMaker = std::function<std::unique_ptr<CategoryFormView>()>;

// Replaces the maker; an empty one removes it. User-interface thread only.
void SetCategoryFormWindows(CategoryFormWindowMaker maker);
// A new window from the maker; null without one.
std::unique_ptr<CategoryFormView> NewCategoryFormWindow();

}  // namespace zerva
