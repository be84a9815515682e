#include "gui/category_form_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateTimeEdit>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

#include "gui/control_widgets.h"
#include "gui/form_view.h"
#include "gui/qt_text.h"

namespace zerva::gui {
namespace {

constexpr int kTooltipMs = 10000;
// The height at which the fields start to scroll: the whole form fits on a small screen.
constexpr int kFieldAreaHeight = 320;

const char* const kFrameStyle = "1px solid rgb(255, 0, 0)";

}  // namespace

// The form's controls: the generic form view, with the date and time pickers, which it does not
// know, read and written here in their value form.
class CategoryFormDialog::FieldControls : public FormView {
 public:
  explicit FieldControls(CategoryFormDialog& owner) : owner_(owner) {}

  void AddPicker(int control, QDateTimeEdit* picker) {
    pickers_[control] = picker;
    Add(control, static_cast<QWidget*>(picker));
    QObject::connect(picker, &QDateTimeEdit::dateTimeChanged, picker, [this, control] {
      if (setting_ == 0 && owner_.events_ != nullptr) owner_.events_->OnEdited(control);
    });
  }

  void SetText(int control, const std::string& text) override {
    const auto it = pickers_.find(control);
    if (it == pickers_.end()) return FormView::SetText(control, text);
    ++setting_;
    it->second->setDateTime(QDateTime::fromString(ToQt(text), "yyyy-MM-dd HH:mm:ss"));
    --setting_;
  }
  std::string GetText(int control) const override {
    const auto it = pickers_.find(control);
    if (it == pickers_.end()) return FormView::GetText(control);
    return FromQt(it->second->dateTime().toString("yyyy-MM-dd HH:mm:ss"));
  }

 private:
  CategoryFormDialog& owner_;
  std::map<int, QDateTimeEdit*> pickers_;
  int setting_ = 0;
};

// Hands the widgets' events to the form, except Enter, which the dialog's own key handling
// turns into one OK.
class CategoryFormDialog::Relay : public ControlEvents {
 public:
  explicit Relay(CategoryFormDialog& owner) : owner_(owner) {}
  void OnCommand(int control) override {
    if (owner_.events_ != nullptr) owner_.events_->OnCommand(control);
  }
  void OnEdited(int control) override {
    if (owner_.events_ != nullptr) owner_.events_->OnEdited(control);
  }
  void OnTimer(int timer) override {
    if (owner_.events_ != nullptr) owner_.events_->OnTimer(timer);
  }

 private:
  CategoryFormDialog& owner_;
};

CategoryFormDialog::CategoryFormDialog(QWidget* parent)
    : QDialog(parent),
      controls_(std::make_unique<FieldControls>(*this)),
      relay_(std::make_unique<Relay>(*this)) {
  setObjectName("CategoryFormDialog");
  controls_->SetEvents(relay_.get());
}

CategoryFormDialog::~CategoryFormDialog() {
  controls_->SetEvents(nullptr);
}

PageView& CategoryFormDialog::Controls() {
  return *controls_;
}

QWidget* CategoryFormDialog::Widget(int control) const {
  return controls_->Widget(control);
}

void CategoryFormDialog::Build(const std::string& caption,
                               const std::vector<FormControl>& entries) {
  setWindowTitle(ToQt(caption));
  auto* outer = new QVBoxLayout(this);
  auto* top = new QVBoxLayout;
  auto* fieldsWidget = new QWidget;
  auto* fields = new QVBoxLayout(fieldsWidget);
  auto* bottom = new QVBoxLayout;
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);

  std::map<int, QFormLayout*> groups;
  QFormLayout* loose = nullptr;  // fields outside any group box
  QLabel* pendingLabel = nullptr;
  int pendingGroup = 0;
  bool fieldsStarted = false;
  const auto formOf = [&](int group) -> QFormLayout* {
    const auto it = groups.find(group);
    if (it != groups.end()) return it->second;
    if (loose == nullptr) {
      loose = new QFormLayout;
      loose->setLabelAlignment(Qt::AlignRight);
      fields->addLayout(loose);
    }
    return loose;
  };

  for (const FormControl& entry : entries) {
    QWidget* widget = nullptr;
    QWidget* input = nullptr;
    switch (entry.kind) {
      case FormControlKind::kGroup: {
        auto* box = Make<QGroupBox>(*controls_, entry.id, fieldsWidget);
        box->setTitle(ToQtPlain(entry.text));
        auto* form = new QFormLayout(box);
        form->setLabelAlignment(Qt::AlignRight);
        groups[entry.id] = form;
        fields->addWidget(box);
        // Fields after a group box go below it.
        loose = nullptr;
        fieldsStarted = true;
        continue;
      }
      case FormControlKind::kLabel: {
        pendingLabel = Label(*controls_, entry.id, fieldsWidget);
        pendingLabel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        pendingLabel->setText(ToQtPlain(entry.text));
        pendingGroup = entry.group;
        widget = pendingLabel;
        fieldsStarted = true;
        break;
      }
      case FormControlKind::kText: {
        QLabel* label = Label(*controls_, entry.id, this, true);
        label->setText(ToQtPlain(entry.text));
        widget = label;
        if (entry.group != 0) {
          formOf(entry.group)->addRow(QString(), label);
        } else {
          (fieldsStarted ? bottom : top)->addWidget(label);
        }
        break;
      }
      case FormControlKind::kLink: {
        QPushButton* link = Link(*controls_, entry.id, this);
        link->setText(ToQtPlain(entry.text));
        link->setAutoDefault(false);
        widget = link;
        top->addWidget(link, 0, Qt::AlignLeft);
        break;
      }
      case FormControlKind::kEdit:
        input = Edit(*controls_, entry.id, fieldsWidget);
        break;
      case FormControlKind::kMultiEdit: {
        auto* text = Make<QPlainTextEdit>(*controls_, entry.id, fieldsWidget);
        text->setTabChangesFocus(true);
        text->setFixedHeight(text->fontMetrics().lineSpacing() * 3 + 12);
        input = text;
        break;
      }
      case FormControlKind::kCombo: {
        auto* combo = Make<QComboBox>(*controls_, entry.id, fieldsWidget);
        combo->setMinimumWidth(260);
        input = combo;
        break;
      }
      case FormControlKind::kCheck: {
        auto* check =
            Make<QCheckBox>(*controls_, entry.id, entry.id == kFormAgreement ? this : fieldsWidget);
        check->setText(ToQtPlain(entry.text));
        if (entry.id == kFormAgreement) {
          widget = check;
          bottom->addWidget(check);
        } else {
          input = check;
        }
        break;
      }
      case FormControlKind::kDateTime: {
        auto* picker = new QDateTimeEdit(fieldsWidget);
        picker->setObjectName(QString("c%1").arg(entry.id));
        picker->setDisplayFormat("d'.'M'.'yyyy' 'H':'mm");
        picker->setCalendarPopup(true);
        controls_->AddPicker(entry.id, picker);
        input = picker;
        break;
      }
      case FormControlKind::kButton: {
        auto* button = Make<QPushButton>(*controls_, entry.id, this);
        button->setText(ToQtPlain(entry.text));
        button->setAutoDefault(false);
        buttons->addWidget(button);
        widget = button;
        break;
      }
    }
    if (input != nullptr) {
      widget = input;
      inputs_[input] = entry.id;
      input->installEventFilter(this);
      for (QObject* child : input->findChildren<QWidget*>()) {
        inputs_[child] = entry.id;
        child->installEventFilter(this);
      }
      QFormLayout* form = formOf(pendingLabel != nullptr ? pendingGroup : entry.group);
      if (pendingLabel != nullptr) {
        form->addRow(pendingLabel, input);
      } else {
        form->addRow(QString(), input);
      }
      pendingLabel = nullptr;
    }
    if (widget != nullptr && !entry.tooltip.empty()) {
      widget->setToolTip(ToQtPlain(entry.tooltip));
      widget->setToolTipDuration(kTooltipMs);
    }
    if (widget != nullptr && entry.colour != kDefaultTextColour) {
      controls_->SetTextColour(entry.id, entry.colour);
    }
  }
  fields->addStretch(1);

  auto* scroll = new QScrollArea(this);
  scroll->setWidget(fieldsWidget);
  scroll->setWidgetResizable(true);
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setMinimumWidth(fieldsWidget->sizeHint().width() + 24);
  scroll->setMaximumHeight(kFieldAreaHeight);
  scroll->setMinimumHeight(qMin(fieldsWidget->sizeHint().height() + 4, kFieldAreaHeight));
  outer->addLayout(top);
  outer->addWidget(scroll, 1);
  outer->addLayout(bottom);
  outer->addLayout(buttons);
}

void CategoryFormDialog::SetFramed(int control, bool framed) {
  QWidget* widget = Widget(control);
  if (widget == nullptr || framed_[control] == framed) return;
  framed_[control] = framed;
  const QString name = widget->objectName();
  const QString type = widget->metaObject()->className();
  widget->setStyleSheet(framed ? QString("%1#%2 { border: %3; }").arg(type, name, kFrameStyle)
                               : QString());
}

bool CategoryFormDialog::IsFramed(int control) const {
  const auto it = framed_.find(control);
  return it != framed_.end() && it->second;
}

int CategoryFormDialog::FocusedControl() const {
  for (QObject* object = QApplication::focusWidget(); object != nullptr;
       object = object->parent()) {
    const auto it = inputs_.find(object);
    if (it != inputs_.end()) return it->second;
    if (object == this) break;
  }
  return 0;
}

bool CategoryFormDialog::RunModal(CategoryFormEvents& events) {
  events_ = &events;
  const int result = exec();
  events_ = nullptr;
  return result == QDialog::Accepted;
}

void CategoryFormDialog::Close(bool ok) {
  done(ok ? QDialog::Accepted : QDialog::Rejected);
}

void CategoryFormDialog::reject() {
  if (events_ != nullptr) {
    events_->OnEscape();
  } else {
    QDialog::reject();
  }
}

void CategoryFormDialog::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && events_ != nullptr) {
    // A multi-line field takes its own line breaks.
    if (qobject_cast<QPlainTextEdit*>(QApplication::focusWidget()) == nullptr) {
      events_->OnEnter();
      return;
    }
  }
  QDialog::keyPressEvent(event);
}

bool CategoryFormDialog::eventFilter(QObject* watched, QEvent* event) {
  if ((event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut) &&
      events_ != nullptr) {
    const auto it = inputs_.find(watched);
    if (it != inputs_.end()) {
      // Focus moving inside one field (a picker's own line edit) is no change.
      const int now = FocusedControl();
      const bool gained = event->type() == QEvent::FocusIn;
      if (gained || now != it->second) events_->OnFocus(it->second, gained);
    }
  }
  return QDialog::eventFilter(watched, event);
}

}  // namespace zerva::gui
