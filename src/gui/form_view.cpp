#include "gui/form_view.h"

#include <FreeImagePlus.h>

#include <QAbstractButton>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QSlider>
#include <QTimer>
#include <algorithm>

#include "app/text_utils.h"
#include "gui/albums_list_widget.h"
#include "gui/command_menu.h"
#include "gui/date_field.h"
#include "gui/item_image_qt.h"
#include "gui/logo_strip.h"
#include "gui/picture_view.h"
#include "gui/popup_frame.h"
#include "gui/qt_text.h"
#include "gui/thumbnail_list_widget.h"

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
    if (action == nullptr || action->isSeparator()) return true;
    const size_t index = static_cast<size_t>(action->data().toInt());
    const std::string text = contents_.contextText(index);
    if (text.empty()) return true;
    QMenu context;
    QAction* command = context.addAction(ToQt(text));
    if (context.exec(mouse->globalPosition().toPoint()) == command && contents_.onContext &&
        contents_.onContext(index)) {
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
  } else if (auto* slider = qobject_cast<QSlider*>(widget)) {
    connect(slider, &QSlider::valueChanged, this,
            [this, control, slider](int value) { SliderMoved(control, slider, value); });
    connect(slider, &QSlider::sliderReleased, this, [this, control] { Command(control); });
  } else if (auto* date = qobject_cast<DateField*>(widget)) {
    connect(date, &QDateEdit::dateChanged, this, [this, control] { Edited(control); });
  } else if (auto* popup = qobject_cast<PopupFrame*>(widget)) {
    connect(popup, &PopupFrame::closed, this, [this, control] { Command(control); });
  }
}

void FormView::SliderMoved(int control, QSlider* slider, int value) {
  if (setting_ != 0) return;
  const int step = slider->singleStep();
  const int offset = value - slider->minimum();
  if (step > 1 && offset % step != 0) {
    // Setting the rounded value comes back here as the user's move.
    slider->setValue(slider->minimum() + (offset + step / 2) / step * step);
    return;
  }
  Edited(control);
  if (!slider->isSliderDown()) Command(control);
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
  } else if (auto* date = qobject_cast<DateField*>(widget)) {
    date->SetIsoText(text);
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
  if (auto* date = qobject_cast<DateField*>(widget)) return date->IsoText();
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
  QWidget* widget = Widget(control);
  if (widget == nullptr) return;
  // A popup closed here is the controller's doing, not the user's.
  ++setting_;
  widget->setVisible(shown);
  --setting_;
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
    QAction* action = popup.addAction(ToQt(menu.items[i]));
    action->setData(static_cast<int>(i));
    if (i < menu.checked.size() && menu.checked[i]) {
      action->setCheckable(true);
      action->setChecked(true);
    }
    const auto& separators = menu.separatorsAfter;
    if (std::find(separators.begin(), separators.end(), i) != separators.end()) {
      popup.addSeparator();
    }
  }
  MenuContext context(&popup, menu);
  popup.installEventFilter(&context);
  const QPoint at = widget != nullptr ? widget->mapToGlobal(QPoint(0, widget->height())) : QPoint();
  QAction* chosen = popup.exec(at);
  return chosen == nullptr ? -1 : chosen->data().toInt();
}

int FormView::ShowMenu(int anchor, const std::vector<MenuEntry>& entries) {
  QWidget* widget = Widget(anchor);
  const QPoint at =
      widget != nullptr ? widget->mapToGlobal(QPoint(0, widget->height())) : QCursor::pos();
  return ExecCommandMenu(widget, entries, at);
}

void FormView::SetRange(int control, int minimum, int maximum, int step) {
  QWidget* widget = Widget(control);
  ++setting_;
  if (auto* slider = qobject_cast<QSlider*>(widget)) {
    slider->setRange(minimum, maximum);
    slider->setSingleStep(std::max(step, 1));
    slider->setPageStep(std::max(step, 1));
    slider->setTickInterval(std::max(step, 1));
  } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
    bar->setRange(minimum, maximum);
  }
  --setting_;
}

void FormView::SetValue(int control, int value) {
  QWidget* widget = Widget(control);
  ++setting_;
  if (auto* slider = qobject_cast<QSlider*>(widget)) {
    slider->setValue(value);
  } else if (auto* bar = qobject_cast<QProgressBar*>(widget)) {
    bar->setValue(value);
  }
  --setting_;
}

int FormView::GetValue(int control) const {
  QWidget* widget = Widget(control);
  if (const auto* slider = qobject_cast<QSlider*>(widget)) return slider->value();
  if (const auto* bar = qobject_cast<QProgressBar*>(widget)) return bar->value();
  return 0;
}

void FormView::SetTextColour(int control, int rgb) {
  QWidget* widget = Widget(control);
  if (widget == nullptr) return;
  const auto saved = palettes_.find(control);
  if (rgb == kDefaultTextColour) {
    if (saved != palettes_.end()) {
      widget->setPalette(saved->second);
      palettes_.erase(saved);
    }
    return;
  }
  if (saved == palettes_.end()) palettes_[control] = widget->palette();
  QPalette palette = widget->palette();
  const QColor colour(static_cast<QRgb>(rgb));
  palette.setColor(QPalette::WindowText, colour);
  palette.setColor(QPalette::ButtonText, colour);
  palette.setColor(QPalette::Text, colour);
  widget->setPalette(palette);
}

void FormView::SetPicture(int control, ImagePtr image) {
  QWidget* widget = Widget(control);
  const QImage picture = image ? ImageToQt(*image) : QImage();
  if (auto* view = qobject_cast<PictureView*>(widget)) {
    view->SetImage(picture);
  } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
    // A picture to click (a banner, a preview): drawn at its own size, made smaller to fit
    // the button's largest size when it has one.
    button->setIcon(picture.isNull() ? QIcon() : QIcon(QPixmap::fromImage(picture)));
    if (!picture.isNull()) {
      QSize size = picture.size();
      const QSize most = button->maximumSize() - QSize(8, 8);
      if (size.width() > most.width() || size.height() > most.height()) {
        size.scale(most, Qt::KeepAspectRatio);
      }
      button->setIconSize(size);
    }
  } else if (auto* label = qobject_cast<QLabel*>(widget)) {
    label->setPixmap(picture.isNull()
                         ? QPixmap()
                         : QPixmap::fromImage(picture.scaled(label->size(), Qt::KeepAspectRatio,
                                                             Qt::SmoothTransformation)));
  }
}

void FormView::SetCueText(int control, const std::string& text) {
  QWidget* widget = Widget(control);
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    edit->setPlaceholderText(ToQt(text));
  } else if (auto* plain = qobject_cast<QPlainTextEdit*>(widget)) {
    plain->setPlaceholderText(ToQt(text));
  }
}

void FormView::ReportEnter() {
  if (setting_ == 0 && events_ != nullptr) events_->OnEnter();
}

void FormView::ReportEscape() {
  if (setting_ == 0 && events_ != nullptr) events_->OnEscape();
}

void FormView::CopyToClipboard(const std::string& text) {
  if (QClipboard* clipboard = QGuiApplication::clipboard()) clipboard->setText(ToQt(text));
}

ThumbsListView* FormView::ThumbnailList(int control) {
  return qobject_cast<ThumbnailListWidget*>(Widget(control));
}

AlbumsListView* FormView::AlbumsList(int control) {
  return qobject_cast<AlbumsListWidget*>(Widget(control));
}

}  // namespace zerva::gui
