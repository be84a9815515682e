// zerva: the Qt window. The application's start-up runs with the window as its front end.
#include <QApplication>
#include <cstdio>

#include "app/window_help.h"
#include "gui/gps_map_views.h"
#include "gui/qt_front_end.h"
#include "ui/zerva_app.h"

int main(int argc, char** argv) {
  // Answered before Qt looks for a display, so that it works over ssh and in scripts.
  if (const auto answer = zerva::StandaloneAnswer(argc, argv)) {
    std::fputs(answer->c_str(), stdout);
    return 0;
  }
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
