// zerva: the Qt window. The application's start-up runs with the window as its front end.
#include <QApplication>

#include "gui/gps_map_views.h"
#include "gui/qt_front_end.h"
#include "ui/zerva_app.h"

int main(int argc, char** argv) {
  zerva::gui::PrepareEmbeddedBrowser();
  QApplication application(argc, argv);
  application.setApplicationName("zerva");
  // Wayland compositors and docks match the window to its launcher by this name.
  QGuiApplication::setDesktopFileName("org.zerva.Zerva");
  zerva::gui::QtFrontEnd frontEnd;
  zerva::CzervaApp app(frontEnd);
  app.UseDesktopRegistration();
  app.InitInstance(argc, argv);
  return app.ExitInstance();
}
