// The widgets of the albums page, registered in its form view under the controller's control
// numbers.
#pragma once

class QWidget;

namespace zerva::gui {

class FormView;

// The new-album and sort buttons in a row on top, the list of albums filling the rest.
void BuildAlbumsPage(QWidget* page, FormView& view);

}  // namespace zerva::gui
