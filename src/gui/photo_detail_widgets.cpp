#include "gui/photo_detail_widgets.h"

#include <QAbstractButton>
#include <QAbstractScrollArea>
#include <QEvent>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/control_widgets.h"
#include "gui/growing_text_edit.h"
#include "gui/picture_view.h"
#include "ui/photo_detail_page.h"

namespace zerva::gui {
namespace {

// The description shows 2 lines at least and 6 at most.
constexpr int kDescLeastLines = 2;
constexpr int kDescMostLines = 6;
// The whole text is selected this long after an edit starts, once the click that started it
// has placed the cursor.
constexpr int kSelectAllDelayMs = 100;

// The large picture: it takes the focus, so that the page's keys reach the page, and a double
// click is the picture area's close notice.
class DetailPicture : public PictureView {
 public:
  DetailPicture(QWidget* parent, FormView& view) : PictureView(parent), view_(view) {
    SetExpanding();
    setFocusPolicy(Qt::StrongFocus);
  }

 protected:
  void mouseDoubleClickEvent(QMouseEvent* /*event*/) override { view_.ReportCommand(kDetailClose); }
  void mousePressEvent(QMouseEvent* /*event*/) override { setFocus(Qt::MouseFocusReason); }

 private:
  FormView& view_;
};

// Turns a field into one edited in place: a click into it (or the focus coming to it) starts the
// edit, leaving it saves, Enter saves, Escape drops. Focus that moves only because a popup or
// another window opened is no leaving.
class InPlaceEdit : public QObject {
 public:
  InPlaceEdit(QWidget* field, FormView& view, int control, int save)
      : QObject(field), field_(field), view_(view), control_(control), save_(save) {
    field->installEventFilter(this);
    // A multi-line field's clicks arrive at its viewport.
    if (auto* area = qobject_cast<QAbstractScrollArea*>(field)) {
      area->viewport()->installEventFilter(this);
    }
  }

  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    switch (event->type()) {
      case QEvent::FocusIn:
        if (Counts(static_cast<QFocusEvent*>(event)->reason())) Begin();
        break;
      case QEvent::MouseButtonPress:
        // A click into a field that kept the focus after its edit ended (a click on a band)
        // starts it again; a field without the focus starts when the focus comes.
        if (field_->hasFocus()) view_.ReportCommand(control_);
        break;
      case QEvent::FocusOut:
        if (Counts(static_cast<QFocusEvent*>(event)->reason())) view_.ReportCommand(save_);
        break;
      case QEvent::KeyPress: {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
          view_.ReportEscape();
          return true;
        }
        // In the description Shift+Enter makes a new line; Enter alone ends the edit. The
        // one-line name reports Enter itself.
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        if (enter && qobject_cast<QLineEdit*>(field_) == nullptr &&
            !(key->modifiers() & Qt::ShiftModifier)) {
          view_.ReportEnter();
          return true;
        }
        break;
      }
      default:
        break;
    }
    return false;
  }

 private:
  static bool Counts(Qt::FocusReason reason) {
    return reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason;
  }
  void Begin() {
    view_.ReportCommand(control_);
    QPointer<QWidget> field = field_;
    QTimer::singleShot(kSelectAllDelayMs, field_, [field] {
      if (field == nullptr || !field->hasFocus()) return;
      if (auto* line = qobject_cast<QLineEdit*>(field)) line->selectAll();
      if (auto* text = qobject_cast<QPlainTextEdit*>(field)) text->selectAll();
    });
  }

  QWidget* field_;
  FormView& view_;
  int control_;
  int save_;
};

// Left and Right (Page Up and Page Down) that no field took press the move buttons.
class MoveKeys : public QObject {
 public:
  MoveKeys(QWidget* page, QAbstractButton* previous, QAbstractButton* next)
      : QObject(page), previous_(previous), next_(next) {
    page->installEventFilter(this);
  }

  bool eventFilter(QObject* /*watched*/, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<QKeyEvent*>(event)->key();
    QAbstractButton* button = nullptr;
    if (key == Qt::Key_Left || key == Qt::Key_PageUp) button = previous_;
    if (key == Qt::Key_Right || key == Qt::Key_PageDown) button = next_;
    if (button == nullptr) return false;
    // A disabled button does nothing: the moves do not wrap.
    button->click();
    return true;
  }

 private:
  QAbstractButton* previous_;
  QAbstractButton* next_;
};

QToolButton* Mark(FormView& view, int control, QWidget* parent) {
  QToolButton* mark = Make<QToolButton>(view, control, parent);
  mark->setCheckable(true);
  mark->setToolButtonStyle(Qt::ToolButtonTextOnly);
  return mark;
}

QPushButton* Button(FormView& view, int control, QWidget* parent) {
  QPushButton* button = Make<QPushButton>(view, control, parent);
  button->setAutoDefault(false);
  return button;
}

// A turn decodes and encodes the pictures: the wait cursor shows until the window is idle again.
QPushButton* TurnButton(FormView& view, int control, QWidget* parent) {
  auto* button = new QPushButton(parent);
  button->setObjectName(QString("c%1").arg(control));
  button->setAutoDefault(false);
  // Connected before the form view's own connection, so it runs before the turn.
  QObject::connect(button, &QAbstractButton::clicked, button, [button] {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QTimer::singleShot(0, button, [] { QGuiApplication::restoreOverrideCursor(); });
  });
  return view.Add(control, button);
}

QToolButton* SaveButton(FormView& view, int control, QWidget* parent) {
  QToolButton* save = Make<QToolButton>(view, control, parent);
  save->setText(QString::fromUtf8("\u2714"));
  save->hide();
  return save;
}

}  // namespace

void BuildPhotoDetailPage(QWidget* page, FormView& view) {
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(10, 8, 10, 6);
  layout->setSpacing(6);

  // Widgets are made in reading order, which is the tab order.
  auto* picture = new DetailPicture(page, view);
  picture->setObjectName(QString("c%1").arg(kDetailPicture));
  view.Add(kDetailPicture, static_cast<PictureView*>(picture));
  layout->addWidget(picture, 1);

  auto* actions = new QHBoxLayout;
  actions->addWidget(Mark(view, kDetailInclude, page));
  actions->addWidget(Mark(view, kDetailCover, page));
  actions->addStretch(1);
  actions->addWidget(TurnButton(view, kDetailTurnLeft, page));
  actions->addWidget(TurnButton(view, kDetailTurnRight, page));
  actions->addWidget(Button(view, kDetailPlay, page));
  actions->addWidget(Button(view, kDetailVideoProps, page));
  layout->addLayout(actions);

  auto* moves = new QHBoxLayout;
  QPushButton* previous = Button(view, kDetailPrev, page);
  moves->addWidget(previous);
  QLabel* position = Label(view, kDetailPosition, page);
  position->setAlignment(Qt::AlignCenter);
  position->setMinimumWidth(position->fontMetrics().horizontalAdvance("9999 / 9999") + 8);
  moves->addWidget(position);
  QProgressBar* bar = Make<QProgressBar>(view, kDetailPositionBar, page);
  bar->setTextVisible(false);
  bar->setMaximumHeight(10);
  moves->addWidget(bar, 1);
  QPushButton* next = Button(view, kDetailNext, page);
  moves->addWidget(next);
  layout->addLayout(moves);

  auto* texts = new QGridLayout;
  texts->setHorizontalSpacing(4);
  QLineEdit* name = Make<QLineEdit>(view, kDetailName, page);
  QFont nameFont = name->font();
  nameFont.setBold(true);
  name->setFont(nameFont);
  texts->addWidget(name, 0, 0);
  texts->addWidget(SaveButton(view, kDetailNameSave, page), 0, 1, Qt::AlignTop);
  auto* desc = new GrowingTextEdit(page, kDescLeastLines, kDescMostLines);
  desc->setObjectName(QString("c%1").arg(kDetailDesc));
  desc->setTabChangesFocus(true);
  view.Add(kDetailDesc, static_cast<QPlainTextEdit*>(desc));
  texts->addWidget(desc, 1, 0);
  texts->addWidget(SaveButton(view, kDetailDescSave, page), 1, 1, Qt::AlignTop);
  texts->setColumnStretch(0, 1);
  layout->addLayout(texts);

  // After the save button's own command the focus leaves the field for the picture, so that
  // the next click into the field starts a new edit.
  for (const int save : {kDetailNameSave, kDetailDescSave}) {
    auto* button = qobject_cast<QAbstractButton*>(view.Widget(save));
    QObject::connect(button, &QAbstractButton::clicked, picture,
                     [picture] { picture->setFocus(Qt::OtherFocusReason); });
  }
  new InPlaceEdit(name, view, kDetailName, kDetailNameSave);
  new InPlaceEdit(desc, view, kDetailDesc, kDetailDescSave);
  new MoveKeys(page, previous, next);
}

}  // namespace zerva::gui
