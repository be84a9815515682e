// The build without Qt WebEngine: no map window, so the picker opens maps in the default browser.
#include "gui/gps_map_views.h"

namespace zerva::gui {

void PrepareEmbeddedBrowser() {}

GpsViewFactory QtGpsViews(QWidget* /*parent*/) {
  return {};
}

}  // namespace zerva::gui
