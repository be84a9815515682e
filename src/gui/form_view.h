// The controls of one page or band as a PageView: each control number maps to a widget, and
// the user's actions on the widgets reach the controller's events. Changes the controller
// makes never come back to it as events.
#pragma once

#include <QObject>
#include <QPalette>
#include <QPointer>
#include <map>

#include "ui/page_view.h"

class QSlider;
class QTimer;
class QWidget;

namespace zerva::gui {

class FormView : public QObject, public PageView {
  Q_OBJECT

 public:
  explicit FormView(QObject* parent = nullptr);

  // Registers the widget as `control`; labels, line and text edits, buttons (a picture becomes
  // a button's icon), check boxes, combo boxes, logo strips, sliders, progress bars, date
  // fields, pictures, popup frames, thumbnail lists and album lists are understood. Returns the
  // widget.
  template <typename W>
  W* Add(int control, W* widget) {
    Register(control, widget);
    return widget;
  }
  QWidget* Widget(int control) const;
  void SetEvents(ControlEvents* events) { events_ = events; }

  void SetText(int control, const std::string& text) override;
  std::string GetText(int control) const override;
  void SetChecked(int control, bool checked) override;
  bool IsChecked(int control) const override;
  void Show(int control, bool shown) override;
  void Enable(int control, bool enabled) override;
  void Focus(int control) override;
  void SetTooltip(int control, const std::string& text) override;
  void SetItems(int control, const std::vector<std::string>& items) override;
  int Selected(int control) const override;
  void Select(int control, int index) override;
  void SetImages(int control, const std::vector<std::string>& paths) override;
  void StartTimer(int timer, int milliseconds) override;
  void StopTimer(int timer) override;
  int ShowPopupMenu(int anchor, const PopupMenu& menu) override;
  int ShowMenu(int anchor, const std::vector<MenuEntry>& entries) override;
  void SetRange(int control, int minimum, int maximum, int step) override;
  void SetValue(int control, int value) override;
  int GetValue(int control) const override;
  void SetTextColour(int control, int rgb) override;
  void SetPicture(int control, ImagePtr image) override;
  void CopyToClipboard(const std::string& text) override;
  void SetCueText(int control, const std::string& text) override;
  ThumbsListView* ThumbnailList(int control) override;
  AlbumsListView* AlbumsList(int control) override;

  // Whether the control is shown when its page is; hidden controls stay hidden.
  bool IsShown(int control) const;
  // What a page's own widgets report beyond the signals understood here: a command of the
  // control (a click into a field), Enter and Escape.
  void ReportCommand(int control) { Command(control); }
  void ReportEnter();
  void ReportEscape();

 private:
  void Register(int control, QWidget* widget);
  void Edited(int control);
  void Command(int control);
  // A slider moved by the user: a position between its steps is rounded to the nearest step
  // first; a move other than a drag (keys, wheel, a click beside the handle) ends at once.
  void SliderMoved(int control, QSlider* slider, int value);

  std::map<int, QPointer<QWidget>> widgets_;
  std::map<int, QTimer*> timers_;
  // The palettes controls had before their text colour was changed.
  std::map<int, QPalette> palettes_;
  ControlEvents* events_ = nullptr;
  // Set while the controller changes a widget, so that the change is not taken for the user's.
  int setting_ = 0;
};

}  // namespace zerva::gui
