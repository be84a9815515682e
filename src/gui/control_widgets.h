// The small makers every page's widgets are built with: each widget is registered in its form
// view under its control number and named "c<number>", so that tests and screenshots find it.
#pragma once

#include <QString>

#include "gui/form_view.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

namespace zerva::gui {

template <typename W>
W* Make(FormView& view, int control, QWidget* parent) {
  auto* widget = new W(parent);
  widget->setObjectName(QString("c%1").arg(control));
  return view.Add(control, widget);
}

QLabel* Label(FormView& view, int control, QWidget* parent, bool wrap = false);
QLineEdit* Edit(FormView& view, int control, QWidget* parent, bool password = false);
// A button drawn as a web link.
QPushButton* Link(FormView& view, int control, QWidget* parent);
// A text in red (a field's status).
QLabel* Status(FormView& view, int control, QWidget* parent);
// A text in grey (a field's help).
QLabel* Help(FormView& view, int control, QWidget* parent);

}  // namespace zerva::gui
