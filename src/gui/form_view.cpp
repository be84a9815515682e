#include "gui/form_view.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTimer>

#include "app/text_utils.h"
#include "gui/logo_strip.h"
#include "gui/qt_text.h"

namespace zerva::gui {
namespace {

// Offers an entry's context command on a right click inside an open popup menu.
class MenuContext : public QObject {
 public:
  MenuContext(QMenu* menu, const PopupMenu& contents) : menu_(menu), contents_(contents) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched != menu_ || event->type() != QEvent::MouseButtonRelease) return false;
    const auto* mouse = static_cast<QMouseEvent*>(event);
    if (mouse->button() != Qt::RightButton || !contents_.contextText) return false;
    QAction* action = menu_->actionAt(mouse->position().toPoint());
    if (action == nullptr) return true;
    const size_t index = static_cast<size_t>(action->data().toInt());
    const std::string text = contents_.contextText(index);
    if (text.empty()) return true;
    QMenu context;
    QAction* command = context.addAction(ToQt(text));
    if (context.exec(mouse->globalPosition().toPoint()) == command) {
      if (contents_.onContext) contents_.onContext(index);
      menu_->removeAction(action);
      if (menu_->actions().isEmpty()) menu_->close();
    }
    return true;
  }

 private:
  QMenu* menu_;
  const PopupMenu& contents_;
};

}  // namespace

FormView::FormView(QObject* parent) : QObject(parent) {}

void FormView::Register(int control, QWidget* widget) {
  widgets_[control] = widget;
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    connect(edit, &QLineEdit::textEdited, this, [this, control] { Edited(control); });
    connect(edit, &QLineEdit::returnPressed, this, [this] {
      if (events_ != nullptr) events_->OnEnter();
    });
  } else if (auto* text = qobject_cast<QPlainTextEdit*>(widget)) {
    connect(text, &QPlainTextEdit::textChanged, this, [this, control] { Edited(control); });
  } else if (auto* check = qobject_cast<QCheckBox*>(widget)) {
    connect(check, &QCheckBox::clicked, this, [this, control] { Edited(control); });
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    connect(button, &QAbstractButton::clicked, this, [this, control] { Command(control); });
  } else if (auto* combo = qobject_cast<QComboBox*>(widget)) {
    connect(combo, &QComboBox::activated, this, [this, control] { Edited(control); });
  }
}

QWidget* FormView::Widget(int control) const {
  const auto it = widgets_.find(control);
  return it == widgets_.end() ? nullptr : it->second.data();
}

void FormView::Edited(int control) {
  if (setting_ == 0 && events_ != nullptr) events_->OnEdited(control);
}

void FormView::Command(int control) {
  if (setting_ == 0 && events_ != nullptr) events_->OnCommand(control);
}

void FormView::SetText(int control, const std::string& text) {
  QWidget* widget = Widget(control);
  ++setting_;
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setText(ToQtPlain(text));
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    edit->setText(ToQt(text));
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
    plain->setPlainText(ToQt(NormalizeToLf(text, false, false, false)));
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    // "&" would become a mnemonic.
    button->setText(ToQtPlain(text).replace("&", "&&"));
  }
  --setting_;
}

std::string FormView::GetText(int control) const {
  QWidget* widget = Widget(control);
  if (auto* label = qobject_cast<QLabel*>(widget)) return FromQt(label->text());
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return FromQt(edit->text());
  if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) return FromQt(plain->toPlainText());
  if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    return FromQt(button->text().replace("&&", "&"));
  }
  return {};
}

void FormView::SetChecked(int control, bool checked) {
  if (auto* button = qobject_cast<QAbstractButton*>(Widget(control))) {
    ++setting_;
    button->setChecked(checked);
    --setting_;
  }
}

bool FormView::IsChecked(int control) const {
  const auto* button = qobject_cast<QAbstractButton*>(Widget(control));
  return button != nullptr && button->isChecked();
}

void FormView::Show(int control, bool shown) {
  if (QWidget* widget = Widget(control)) widget->setVisible(shown);
}

bool FormView::IsShown(int control) const {
  const QWidget* widget = Widget(control);
  return widget != nullptr && !widget->isHidden();
}

void FormView::Enable(int control, bool enabled) {
  if (QWidget* widget = Widget(control)) widget->setEnabled(enabled);
}

void FormView::Focus(int control) {
  if (QWidget* widget = Widget(control)) widget->setFocus();
}

void FormView::SetTooltip(int control, const std::string& text) {
  if (QWidget* widget = Widget(control)) widget->setToolTip(ToQtPlain(text));
}

void FormView::SetItems(int control, const std::vector<std::string>& items) {
  auto* combo = qobject_cast<QComboBox*>(Widget(control));
  if (combo == nullptr) return;
  ++setting_;
  combo->clear();
  for (const std::string& item : items) combo->addItem(ToQt(item));
  combo->setCurrentIndex(-1);
  --setting_;
}

int FormView::Selected(int control) const {
  const auto* combo = qobject_cast<QComboBox*>(Widget(control));
  return combo == nullptr ? -1 : combo->currentIndex();
}

void FormView::Select(int control, int index) {
  auto* combo = qobject_cast<QComboBox*>(Widget(control));
  if (combo == nullptr) return;
  ++setting_;
  combo->setCurrentIndex(index < combo->count() ? index : -1);
  --setting_;
}

void FormView::SetImages(int control, const std::vector<std::string>& paths) {
  if (auto* strip = qobject_cast<LogoStrip*>(Widget(control))) strip->SetLogos(paths);
}

void FormView::StartTimer(int timer, int milliseconds) {
  QTimer*& entry = timers_[timer];
  if (entry == nullptr) {
    entry = new QTimer(this);
    entry->setSingleShot(true);
    connect(entry, &QTimer::timeout, this, [this, timer] {
      if (events_ != nullptr) events_->OnTimer(timer);
    });
  }
  entry->start(milliseconds);
}

void FormView::StopTimer(int timer) {
  const auto it = timers_.find(timer);
  if (it != timers_.end()) it->second->stop();
}

int FormView::ShowPopupMenu(int anchor, const PopupMenu& menu) {
  QWidget* widget = Widget(anchor);
  QMenu popup(widget);
  popup.setObjectName("popupMenu");
  for (size_t i = 0; i < menu.items.size(); ++i) {
    popup.addAction(ToQt(menu.items[i]))->setData(static_cast<int>(i));
  }
  MenuContext context(&popup, menu);
  popup.installEventFilter(&context);
  const QPoint at = widget != nullptr ? widget->mapToGlobal(QPoint(0, widget->height())) : QPoint();
  QAction* chosen = popup.exec(at);
  return chosen == nullptr ? -1 : chosen->data().toInt();
}

}  // namespace zerva::gui
