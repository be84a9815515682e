#include "gps_picker_shots.h"

#include <cstdio>

#include "ui/gps_dlg.h"
#include "ui/zerva_app.h"

#ifdef ZERVA_HAVE_WEBENGINE
#include <QTest>

#include "gui/map/gps_map_dialog.h"
#include "gui_session.h"
#include "map_page.h"
#endif

namespace zerva::test {

void ShootGpsPicker(gui::ZervaWindow& window, Shooter& shooter) {
#ifdef ZERVA_HAVE_WEBENGINE
  IGps* picker = window.Controller().App().GpsPicker();
  if (picker == nullptr) {
    std::fprintf(stderr, "GPS picker: the application made none\n");
    return;
  }
  picker->SetProvider(kGpsProviderService);
  WhenModalWindowOpens<gui::GpsMapDialog>([&](gui::GpsMapDialog* dialog) {
    // A place pointed at near the saved one: both markers and both positions show.
    if (!FindOnPage(dialog->Map(), 49.1925, 16.6135)) {
      std::fprintf(stderr, "GPS picker: the map page did not answer\n");
    }
    QTest::qWait(500);
    shooter.Shoot(dialog, "gps-picker");
    // Closed without the unsaved-place question.
    dialog->done(QDialog::Rejected);
  });
  double longitude = 16.6068;
  double latitude = 49.1951;
  int zoom = 14;
  (void)picker->EditLocation(&longitude, &latitude, &zoom, 16.6, 49.2, "IMG_0042.jpg");
#else
  (void)window;
  (void)shooter;
  std::fprintf(stderr, "GPS picker: built without Qt WebEngine, no picture\n");
#endif
}

}  // namespace zerva::test
