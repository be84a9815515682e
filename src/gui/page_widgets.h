// The widgets of each wizard page and of the two bands, registered in their form views under
// the controllers' control numbers.
#pragma once

#include "ui/page_ids.h"

class QWidget;

namespace zerva::gui {

class FormView;

// Fills `page` with the controls of the page `id`.
void BuildPage(PageId id, QWidget* page, FormView& view);
void BuildHeader(QWidget* band, FormView& view);
void BuildUserBar(QWidget* band, FormView& view);

}  // namespace zerva::gui
