#include "gui/album_editor_widgets.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include "gui/control_widgets.h"
#include "gui/date_field.h"
#include "gui/growing_text_edit.h"
#include "gui/picture_view.h"
#include "gui/popup_frame.h"
#include "gui/thumbnail_list_widget.h"
#include "model/photo_video_params.h"
#include "ui/album_editor_view.h"
#include "ui/copy_page_view.h"

namespace zerva::gui {
namespace {

// The description shows 2 lines at least and 8 at most.
constexpr int kDescLeastLines = 2;
constexpr int kDescMostLines = 8;

// A one-line text that gives up its width to the layout and shortens itself in the middle,
// such as a long folder path.
class ElidedLabel : public QLabel {
 public:
  explicit ElidedLabel(QWidget* parent) : QLabel(parent) {
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    setMinimumWidth(60);
  }

 protected:
  void paintEvent(QPaintEvent* /*event*/) override {
    QPainter painter(this);
    const QRect area = contentsRect();
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(text(), Qt::ElideMiddle, area.width()));
  }
};

QPushButton* Button(FormView& view, int control, QWidget* parent) {
  QPushButton* button = Make<QPushButton>(view, control, parent);
  button->setAutoDefault(false);
  return button;
}

// The protection popup: the two boxes and the secure name and password under them.
void BuildProtectionPopup(QWidget* page, FormView& view, QWidget* anchor) {
  auto* popup = new PopupFrame(page);
  popup->setObjectName(QString("c%1").arg(kEditProtectionPopup));
  popup->SetAnchor(anchor);
  view.Add(kEditProtectionPopup, popup);
  auto* grid = new QGridLayout(popup);
  grid->addWidget(Make<QCheckBox>(view, kEditHidden, popup), 0, 0, 1, 2);
  grid->addWidget(Make<QCheckBox>(view, kEditPasswordCheck, popup), 1, 0, 1, 2);
  grid->addWidget(Label(view, kEditSecureNameLabel, popup), 2, 0);
  QLineEdit* name = Make<QLineEdit>(view, kEditSecureName, popup);
  name->setMinimumWidth(180);
  grid->addWidget(name, 2, 1);
  grid->addWidget(Label(view, kEditSecurePassLabel, popup), 3, 0);
  QLineEdit* pass = Make<QLineEdit>(view, kEditSecurePass, popup);
  pass->setEchoMode(QLineEdit::Password);
  grid->addWidget(pass, 3, 1);
  popup->hide();
}

// Category, watermark, target resolution and dates: shown by the advanced button.
QFrame* BuildDetails(QWidget* page, FormView& view) {
  auto* group = new QFrame(page);
  group->setObjectName(QString("c%1").arg(kEditDetailsGroup));
  group->setFrameShape(QFrame::StyledPanel);
  view.Add(kEditDetailsGroup, group);
  auto* grid = new QGridLayout(group);
  grid->setContentsMargins(8, 6, 8, 6);
  grid->setVerticalSpacing(4);

  grid->addWidget(Label(view, kEditCategoryLabel, group), 0, 0);
  auto* category = new QHBoxLayout;
  category->addWidget(Label(view, kEditCategory, group, true), 1);
  category->addWidget(Button(view, kEditCategoryButton, group));
  category->addWidget(Button(view, kEditWatermark, group));
  grid->addLayout(category, 0, 1, 1, 5);

  grid->addWidget(Label(view, kEditResolutionLabel, group), 1, 0);
  auto* resolution = new QHBoxLayout;
  resolution->addWidget(Make<QComboBox>(view, kEditResolution, group));
  QLabel* sample = Label(view, kEditResolutionSample, group, true);
  sample->setStyleSheet("color: #5e5c64;");
  resolution->addWidget(sample, 1);
  grid->addLayout(resolution, 1, 1, 1, 5);

  grid->addWidget(Label(view, kEditDateFromLabel, group), 2, 0);
  auto* dates = new QHBoxLayout;
  dates->addWidget(Make<DateField>(view, kEditDateFrom, group));
  dates->addSpacing(4);
  dates->addWidget(Label(view, kEditDateToLabel, group));
  dates->addSpacing(4);
  dates->addWidget(Make<DateField>(view, kEditDateTo, group));
  dates->addSpacing(8);
  dates->addWidget(Make<QCheckBox>(view, kEditAutoDate, group));
  QLabel* dateSample = Label(view, kEditDateSample, group);
  dateSample->setStyleSheet("color: #5e5c64;");
  dates->addWidget(dateSample, 1);
  grid->addLayout(dates, 2, 1, 1, 5);
  grid->setColumnStretch(1, 1);
  group->hide();
  return group;
}

// The item buttons on the left, the counts and the size slider on the right.
QHBoxLayout* BuildItemBar(QWidget* page, FormView& view) {
  auto* row = new QHBoxLayout;
  row->addWidget(Button(view, kEditSelectButton, page));
  row->addWidget(Button(view, kEditNamesButton, page));
  row->addWidget(Button(view, kEditSortButton, page));
  row->addWidget(Button(view, kEditAddPhotos, page));
  row->addStretch(1);
  row->addWidget(Label(view, kEditCountsLabel, page));
  QLabel* counts = Label(view, kEditCounts, page);
  QFont bold = counts->font();
  bold.setBold(true);
  counts->setFont(bold);
  row->addWidget(counts);
  row->addSpacing(10);
  row->addWidget(Label(view, kEditZoom, page));
  QSlider* slider = Make<QSlider>(view, kEditSizeSlider, page);
  slider->setOrientation(Qt::Horizontal);
  slider->setFixedWidth(110);
  slider->setTickPosition(QSlider::NoTicks);
  row->addWidget(slider);
  QLabel* sizeText = Label(view, kEditSizeText, page);
  sizeText->setMinimumWidth(sizeText->fontMetrics().horizontalAdvance("200 %") + 4);
  row->addWidget(sizeText);
  return row;
}

}  // namespace

void BuildAlbumEditor(QWidget* page, FormView& view) {
  auto* layout = new QVBoxLayout(page);
  layout->setContentsMargins(10, 8, 10, 6);
  layout->setSpacing(6);

  // Widgets are made in reading order, which is the tab order.
  auto* top = new QGridLayout;
  top->setHorizontalSpacing(8);
  top->setVerticalSpacing(5);
  top->addWidget(Label(view, kEditNameLabel, page), 0, 0);
  top->addWidget(Make<QLineEdit>(view, kEditName, page), 0, 1);
  top->addWidget(Label(view, kEditVisibilityLabel, page), 0, 2);
  QPushButton* visibility = Button(view, kEditVisibility, page);
  visibility->setMinimumWidth(150);
  top->addWidget(visibility, 0, 3);

  top->addWidget(Label(view, kEditFolderLabel, page), 1, 0);
  auto* folder = new QHBoxLayout;
  folder->setSpacing(0);
  auto* path = new ElidedLabel(page);
  path->setObjectName(QString("c%1").arg(kEditFolder));
  view.Add(kEditFolder, static_cast<QLabel*>(path));
  folder->addWidget(path, 1);
  folder->addSpacing(6);
  folder->addWidget(Button(view, kEditFolderButton, page));
  QToolButton* history = Make<QToolButton>(view, kEditFolderHistory, page);
  history->setArrowType(Qt::DownArrow);
  folder->addWidget(history);
  top->addLayout(folder, 1, 1);
  top->addWidget(Button(view, kEditLink, page), 1, 2, 1, 2, Qt::AlignRight);

  QLabel* descLabel = Label(view, kEditDescLabel, page);
  top->addWidget(descLabel, 2, 0, Qt::AlignTop);
  auto* desc = new GrowingTextEdit(page, kDescLeastLines, kDescMostLines);
  desc->setObjectName(QString("c%1").arg(kEditDesc));
  desc->setTabChangesFocus(true);
  view.Add(kEditDesc, static_cast<QPlainTextEdit*>(desc));
  top->addWidget(desc, 2, 1);
  top->addWidget(Button(view, kEditAdvanced, page), 2, 2, 1, 2, Qt::AlignRight | Qt::AlignTop);
  top->setColumnStretch(1, 1);
  layout->addLayout(top);

  layout->addWidget(BuildDetails(page, view));
  layout->addLayout(BuildItemBar(page, view));
  auto* thumbs = new ThumbnailListWidget(page);
  thumbs->setObjectName(QString("c%1").arg(kEditThumbs));
  thumbs->setMinimumHeight(110);
  view.Add(kEditThumbs, thumbs);
  layout->addWidget(thumbs, 1);

  BuildProtectionPopup(page, view, visibility);
}

void BuildUploadPage(QWidget* page, FormView& view) {
  auto* outer = new QHBoxLayout(page);
  auto* column = new QWidget(page);
  column->setMaximumWidth(560);
  outer->addStretch(1);
  outer->addWidget(column, 4);
  outer->addStretch(1);
  auto* layout = new QVBoxLayout(column);
  layout->addStretch(1);

  auto* picture = new PictureView(column);
  picture->setObjectName(QString("c%1").arg(kCopyThumbView));
  picture->SetSide(PhotoVideoParams().SizeThumb);
  view.Add(kCopyThumbView, picture);
  layout->addWidget(picture, 0, Qt::AlignHCenter);

  QLabel* job = Label(view, kCopyJobName, column);
  job->setAlignment(Qt::AlignHCenter);
  job->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  layout->addWidget(job);

  auto* times = new QHBoxLayout;
  times->addWidget(Label(view, kCopyElapsed, column));
  times->addStretch(1);
  times->addWidget(Label(view, kCopyRemaining, column));
  layout->addLayout(times);

  auto* progress = new QHBoxLayout;
  QProgressBar* bar = Make<QProgressBar>(view, kCopyProgressBar, column);
  bar->setRange(0, 100);
  bar->setValue(0);
  bar->setTextVisible(false);
  progress->addWidget(bar, 1);
  QLabel* percent = Label(view, kCopyPercent, column);
  percent->setMinimumWidth(percent->fontMetrics().horizontalAdvance("100%") + 6);
  percent->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  progress->addWidget(percent);
  layout->addLayout(progress);

  layout->addSpacing(8);
  layout->addWidget(Link(view, kCopyAlbumLink, column), 0, Qt::AlignHCenter);
  layout->addSpacing(8);
  QLabel* problems = Label(view, kCopyFileProblems, column, true);
  problems->setTextInteractionFlags(Qt::TextSelectableByMouse);
  layout->addWidget(problems);
  layout->addStretch(2);
}

}  // namespace zerva::gui
