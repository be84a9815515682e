// The GPS location picker on the screen: the help text, the committed ("msgOld") and pending
// ("msgNew") position fields, the embedded map page and the delete and close buttons. The
// controller (GpsDlg) fills it and hears the page's title changes and the buttons through
// GpsEvents; a window with an embedded web view draws it, tests use a fake.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace zerva {

// The dialog's texts, already translated.
struct GpsTexts {
  std::string title;
  std::string help;         // lines separated by "\n"; empty: no help shown
  std::string coordinates;  // the group box's caption
  std::string oldLabel;
  std::string newLabel;
  std::string deleteButton;
  std::string closeButton;
};

// The map area in pixels, as laid out before the dialog runs.
struct GpsAreaSize {
  int width = 0;
  int height = 0;
};

// What the dialog hears from the screen, on the user-interface thread.
class GpsEvents {
 public:
  virtual ~GpsEvents() = default;
  // Every change of the map page's document title, as the page set it.
  virtual void OnPageTitleChanged(const std::string& title) = 0;
  virtual void OnDeletePressed() = 0;
  // The close button, Esc or the window's close button; true lets the window close.
  virtual bool OnCloseRequested() = 0;
};

class GpsView {
 public:
  virtual ~GpsView() = default;

  // Where the user's actions go; null: nowhere.
  virtual void SetEvents(GpsEvents* events) = 0;
  virtual void SetTexts(const GpsTexts& texts) = 0;
  // Shows (edit) or hides the two position fields with their labels and the delete and close
  // buttons; when shown, the map area takes the focus.
  virtual void ShowEditControls(bool shown) = 0;
  virtual void SetOldPosition(const std::string& text) = 0;
  virtual void SetNewPosition(const std::string& text) = 0;
  virtual GpsAreaSize MapAreaSize() const = 0;
  // Loads `url` into the map area.
  virtual void Navigate(const std::string& url) = 0;
  // Shows the dialog and returns when it closes; every attempt to close asks OnCloseRequested.
  // Enter does not close it. Messages keep being delivered meanwhile.
  virtual void RunModal() = 0;
};

// Makes the dialog's window. Empty: the program has no embedded web view, the picker edits
// nothing and shows positions in the default browser.
using GpsViewFactory = std::function<std::unique_ptr<GpsView>()>;

}  // namespace zerva
