#include "gui/post_copy_widgets.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/control_widgets.h"
#include "gui/form_view.h"
#include "model/album_cover.h"
#include "ui/post_copy_page.h"
#include "ui/send_email_page.h"

namespace zerva::gui {
namespace {

// At the window's smallest size these pages need every pixel of its width.
constexpr int kWholeWidth = 1000;

// A page button that Enter presses while it has the focus.
QPushButton* PageButton(FormView& view, int control, QWidget* parent) {
  QPushButton* button = Make<QPushButton>(view, control, parent);
  button->setAutoDefault(true);
  return button;
}

// A picture to click, without a frame of its own.
QToolButton* PictureButton(FormView& view, int control, QWidget* parent, QSize most) {
  QToolButton* button = Make<QToolButton>(view, control, parent);
  button->setAutoRaise(true);
  button->setToolButtonStyle(Qt::ToolButtonIconOnly);
  button->setCursor(Qt::PointingHandCursor);
  button->setMaximumSize(most);
  return button;
}

}  // namespace

void BuildPostCopyPage(QWidget* page, FormView& view) {
  QWidget* column = CentredColumn(page, 760, kWholeWidth);
  auto* layout = new QVBoxLayout(column);
  layout->addStretch(1);

  // The album: its picture, and beside it the name, the address and the marks.
  auto* album = new QHBoxLayout;
  // As large as an album's cover: a photo's picture is fitted into it.
  QToolButton* preview =
      PictureButton(view, kPostCopyPreview, column, QSize(kCoverWidth + 10, kCoverHeight + 10));
  preview->setMinimumSize(preview->maximumSize());
  preview->setStyleSheet("QToolButton { border: 1px solid #c0bfbc; background: #ffffff; }");
  album->addWidget(preview, 0, Qt::AlignTop);
  auto* about = new QVBoxLayout;
  QLabel* name = Label(view, kPostCopyAlbumName, column, true);
  QFont bold = name->font();
  bold.setBold(true);
  bold.setPointSizeF(bold.pointSizeF() * 1.3);
  name->setFont(bold);
  about->addWidget(name);
  about->addWidget(Link(view, kPostCopyAddress, column), 0, Qt::AlignLeft);
  QLabel* marks = Help(view, kPostCopyMarks, column);
  marks->hide();
  about->addWidget(marks);
  about->addSpacing(6);
  about->addWidget(Label(view, kPostCopyMessage, column, true));
  about->addStretch(1);
  album->addLayout(about, 1);
  layout->addLayout(album);
  layout->addSpacing(6);

  // The four buttons, and the return button at the row's end (alone in an unattended upload).
  auto* buttons = new QHBoxLayout;
  for (const int control : {kPostCopyView, kPostCopyCopy, kPostCopySend, kPostCopyEdit}) {
    buttons->addWidget(PageButton(view, control, column));
  }
  buttons->addStretch(1);
  buttons->addWidget(PageButton(view, kPostCopyReturn, column));
  layout->addLayout(buttons);
  layout->addSpacing(10);

  // The banners one below the other, hidden until the service has sent them.
  for (int slot = 0; slot < kPostCopyBannerSlots; ++slot) {
    QToolButton* banner = PictureButton(view, kPostCopyBannerFirst + slot, column, QSize(520, 160));
    banner->hide();
    layout->addWidget(banner, 0, Qt::AlignHCenter);
  }
  layout->addStretch(2);
}

void BuildSendEmailPage(QWidget* page, FormView& view) {
  QWidget* column = CentredColumn(page, 760, kWholeWidth);
  auto* grid = new QGridLayout(column);
  grid->addWidget(Label(view, kSendToLabel, column), 0, 0);
  grid->addWidget(Edit(view, kSendTo, column), 0, 1);
  QToolButton* book = Make<QToolButton>(view, kSendBook, column);
  book->setArrowType(Qt::DownArrow);
  book->setFocusPolicy(Qt::StrongFocus);
  grid->addWidget(book, 0, 2);
  grid->addWidget(Label(view, kSendSubjectLabel, column), 1, 0);
  grid->addWidget(Edit(view, kSendSubject, column), 1, 1, 1, 2);
  grid->addWidget(Label(view, kSendMessageLabel, column), 2, 0, Qt::AlignTop);
  QPlainTextEdit* message = Make<QPlainTextEdit>(view, kSendMessage, column);
  // Tab leaves the message for the next control instead of writing a tab into it.
  message->setTabChangesFocus(true);
  grid->addWidget(message, 2, 1, 1, 2);
  grid->setColumnStretch(1, 1);
  grid->setRowStretch(2, 1);
}

}  // namespace zerva::gui
