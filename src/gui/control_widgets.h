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

// A column of at most `width` inside the page, centred in what is left. `weight` is its share
// of the page's width against each margin's 1: a large weight lets it take the page's whole
// width up to `width` (pages that need every pixel at the window's smallest size).
QWidget* CentredColumn(QWidget* page, int width, int weight = 4);

}  // namespace zerva::gui
