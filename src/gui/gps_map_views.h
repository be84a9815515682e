// The GPS picker's window for the Qt front end. Built with Qt WebEngine it shows the service's
// map page embedded; built without it the factory is empty and the picker falls back to the
// default browser without editing.
#pragma once

#include "ui/gps_view.h"

class QWidget;

namespace zerva::gui {

// What the embedded browser needs settled before the QApplication is made; nothing without it.
void PrepareEmbeddedBrowser();

// Makes the picker's windows over `parent`; empty when the program has no embedded browser.
GpsViewFactory QtGpsViews(QWidget* parent);

}  // namespace zerva::gui
