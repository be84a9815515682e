// The widgets of the photo detail page, registered in its form view under the controller's
// control numbers.
#pragma once

class QWidget;

namespace zerva::gui {

class FormView;

// The large picture filling the page; under it the include and cover marks with the turn, play
// and video properties buttons; the moves with the position text and bar; the name and the
// description, edited in place. Left and Right (or Page Up and Page Down) move where no field
// takes the keys; Enter ends an edit, Escape drops it; a double click on the picture goes back.
void BuildPhotoDetailPage(QWidget* page, FormView& view);

}  // namespace zerva::gui
