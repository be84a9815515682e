#include "gui/control_widgets.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace zerva::gui {

QLabel* Label(FormView& view, int control, QWidget* parent, bool wrap) {
  QLabel* label = Make<QLabel>(view, control, parent);
  label->setWordWrap(wrap);
  return label;
}

QLineEdit* Edit(FormView& view, int control, QWidget* parent, bool password) {
  QLineEdit* edit = Make<QLineEdit>(view, control, parent);
  if (password) edit->setEchoMode(QLineEdit::Password);
  edit->setMinimumWidth(260);
  return edit;
}

QPushButton* Link(FormView& view, int control, QWidget* parent) {
  QPushButton* link = Make<QPushButton>(view, control, parent);
  link->setFlat(true);
  link->setCursor(Qt::PointingHandCursor);
  link->setStyleSheet(
      "QPushButton { color: #1a5fb4; text-decoration: underline; border: none;"
      " padding: 1px 2px; text-align: left; }");
  return link;
}

QLabel* Status(FormView& view, int control, QWidget* parent) {
  QLabel* label = Label(view, control, parent, true);
  label->setStyleSheet("color: #c01c28;");
  return label;
}

QLabel* Help(FormView& view, int control, QWidget* parent) {
  QLabel* label = Label(view, control, parent, true);
  label->setStyleSheet("color: #5e5c64;");
  return label;
}

QWidget* CentredColumn(QWidget* page, int width, int weight) {
  auto* outer = new QHBoxLayout(page);
  auto* column = new QWidget(page);
  column->setMaximumWidth(width);
  outer->addStretch(1);
  outer->addWidget(column, weight);
  outer->addStretch(1);
  return column;
}

}  // namespace zerva::gui
