// The widget tests run inside one QApplication, offscreen unless a platform is chosen.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "gui/gps_map_views.h"

int main(int argc, char** argv) {
  ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
  zerva::gui::PrepareEmbeddedBrowser();
  QApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
