// The about box: the version line and the table of components with their links; plain-text
// licences open in the licence window, every other link in the desktop's default program.
#pragma once

#include <QDialog>
#include <functional>
#include <string>

#include "accessory/about_box.h"

namespace zerva::gui {

// The versions the window adds to the core's: Qt, and what the build found out.
ComponentVersions AllComponentVersions();

class AboutDialog : public QDialog {
  Q_OBJECT

 public:
  // `open` opens a target outside the program (the shell's "open").
  AboutDialog(QWidget* parent, bool videoConverterPresent, const std::string& programFolder,
              std::function<void(const std::string&)> open);

  void ActivateLink(const std::string& target);

 private:
  std::function<void(const std::string&)> open_;
};

// A read-only window with one licence text.
class LicenceWindow : public QDialog {
  Q_OBJECT

 public:
  LicenceWindow(QWidget* parent, const std::string& path);
};

}  // namespace zerva::gui
