#include "gui/albums_list_widget.h"

#include <FreeImagePlus.h>

#include <QHelpEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QToolTip>
#include <algorithm>

#include "gui/item_image_qt.h"
#include "gui/qt_text.h"

namespace zerva::gui {
namespace {

constexpr int kMargin = 6;
constexpr int kSmallCoverWidth = 68;
constexpr int kSmallCoverHeight = 50;
constexpr int kLargeCoverWidth = 135;
constexpr int kLargeCoverHeight = 100;
constexpr int kGap = 12;  // between the cover and the texts, and between columns
constexpr int kTimesWidth = 120;
constexpr int kDescriptionLines = 2;

const QColor kExpandedBackground(0xe8, 0xf0, 0xfb);
const QColor kExpandedFrame(0x99, 0xc1, 0xf1);
const QColor kSeparator(0xde, 0xdd, 0xda);
const QColor kGreyText(0x5e, 0x5c, 0x64);
const QColor kMarkText(0xc6, 0x46, 0x00);
const QColor kNoCover(0xde, 0xdd, 0xda);

const char* const kLinkStyle =
    "QPushButton { color: #1a5fb4; text-decoration: underline; border: none;"
    " padding: 1px 2px; text-align: left; background: transparent; }"
    "QPushButton:disabled { color: #77767b; text-decoration: none; }"
    "QPushButton:focus { border: 1px dotted #1a5fb4; }";

bool IsLink(AlbumButton button) {
  return button == AlbumButton::kFolder || button == AlbumButton::kWeb;
}

QString Marks(const AlbumsListItem& item) {
  QStringList marks;
  if (!item.hiddenMark.empty()) marks << ToQt(item.hiddenMark);
  if (!item.passwordMark.empty()) marks << ToQt(item.passwordMark);
  return marks.join(QString::fromUtf8(" \u00B7 "));
}

QFont NameFont(const QFont& base, bool expanded) {
  QFont font = base;
  font.setBold(true);
  if (expanded) font.setPointSizeF(font.pointSizeF() * 1.15);
  return font;
}

QFont SmallFont(const QFont& base) {
  QFont font = base;
  font.setPointSizeF(font.pointSizeF() * 0.9);
  return font;
}

}  // namespace

AlbumsListWidget::AlbumsListWidget(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setBackgroundRole(QPalette::Base);
  viewport()->setAutoFillBackground(true);
  for (int i = 0; i < kAlbumButtonCount; ++i) {
    const auto which = static_cast<AlbumButton>(i);
    auto* button = new QPushButton(viewport());
    button->setObjectName(QString("albumButton%1").arg(i));
    button->setAutoDefault(false);
    if (IsLink(which)) {
      button->setFlat(true);
      button->setCursor(Qt::PointingHandCursor);
      button->setStyleSheet(kLinkStyle);
    }
    button->hide();
    connect(button, &QPushButton::clicked, this, [this, which] {
      if (events_ != nullptr && expanded_ >= 0) events_->OnItemButton(expanded_, which);
    });
    buttons_[static_cast<size_t>(i)] = button;
  }
}

AlbumsListWidget::~AlbumsListWidget() = default;

QSize AlbumsListWidget::sizeHint() const {
  return {640, 420};
}

// --- AlbumsListView ---

void AlbumsListWidget::SetEvents(AlbumsListEvents* events) {
  events_ = events;
}

void AlbumsListWidget::SetItems(std::vector<AlbumsListItem> items) {
  items_ = std::move(items);
  expanded_ = -1;
  smallCovers_.assign(items_.size(), {});
  largeCovers_.assign(items_.size(), {});
  coversAsked_.clear();
  UpdateScrollRange();
  PlaceButtons();
  viewport()->update();
}

void AlbumsListWidget::SetItem(int index, AlbumsListItem item) {
  if (index < 0 || index >= Count()) return;
  items_[static_cast<size_t>(index)] = std::move(item);
  if (index == expanded_) PlaceButtons();
  viewport()->update(ItemRect(index));
}

void AlbumsListWidget::SetExpanded(int index) {
  if (index < -1 || index >= Count()) index = -1;
  expanded_ = index;
  UpdateScrollRange();
  PlaceButtons();
  viewport()->update();
}

void AlbumsListWidget::EnsureVisible(int index) {
  if (index < 0 || index >= Count()) return;
  const QRect rect = ItemRect(index);
  QScrollBar* bar = verticalScrollBar();
  if (rect.top() < 0) {
    bar->setValue(bar->value() + rect.top());
  } else if (rect.bottom() >= viewport()->height()) {
    bar->setValue(bar->value() + std::min(rect.top(), rect.bottom() - viewport()->height() + 1));
  }
}

// --- Geometry ---

int AlbumsListWidget::RowHeight() const {
  const QFontMetrics name(NameFont(font(), false));
  const int texts = name.height() + 2 + fontMetrics().height();
  return std::max(kSmallCoverHeight, texts) + 2 * kMargin;
}

int AlbumsListWidget::ExpandedHeight() const {
  const QFontMetrics name(NameFont(font(), true));
  const int line = fontMetrics().height();
  const int button = buttons_[0]->sizeHint().height();
  const int link = buttons_[static_cast<size_t>(AlbumButton::kFolder)]->sizeHint().height();
  const int texts = name.height() + 2 + kDescriptionLines * line + kMargin + button + 4 + 2 * link;
  return std::max(kLargeCoverHeight, texts) + 2 * kMargin;
}

int AlbumsListWidget::Top(int index) const {
  int top = index * RowHeight();
  if (expanded_ >= 0 && index > expanded_) top += ExpandedHeight() - RowHeight();
  return top;
}

QRect AlbumsListWidget::ItemRect(int index) const {
  if (index < 0 || index >= Count()) return {};
  const int height = index == expanded_ ? ExpandedHeight() : RowHeight();
  return {0, Top(index) - verticalScrollBar()->value(), viewport()->width(), height};
}

int AlbumsListWidget::IndexAt(const QPoint& point) const {
  for (int i = 0; i < Count(); ++i) {
    if (ItemRect(i).contains(point)) return i;
  }
  return -1;
}

QPushButton* AlbumsListWidget::Button(AlbumButton button) const {
  return buttons_[static_cast<size_t>(button)];
}

QRect AlbumsListWidget::TimeRect(int index, bool updated) const {
  const QRect item = ItemRect(index);
  if (item.isEmpty()) return {};
  const QFontMetrics small(SmallFont(font()));
  const int top = item.top() + kMargin + (updated ? small.height() + 2 : 0);
  return {item.right() - kMargin - kTimesWidth, top, kTimesWidth, small.height()};
}

void AlbumsListWidget::UpdateScrollRange() {
  const int last = Count() - 1;
  const int content =
      last < 0 ? 0 : Top(last) + (expanded_ == last ? ExpandedHeight() : RowHeight());
  QScrollBar* bar = verticalScrollBar();
  bar->setRange(0, std::max(0, content - viewport()->height()));
  bar->setSingleStep(std::max(RowHeight() / 3, 1));
  bar->setPageStep(std::max(viewport()->height(), 1));
}

void AlbumsListWidget::PlaceButtons() {
  if (expanded_ < 0 || expanded_ >= Count()) {
    for (QPushButton* button : buttons_) button->hide();
    return;
  }
  const AlbumsListItem& item = items_[static_cast<size_t>(expanded_)];
  const QRect row = ItemRect(expanded_);
  const int left = row.left() + kMargin + kLargeCoverWidth + kGap;
  const int right = row.right() - kMargin;
  const int width = std::max(right - left, 40);
  const QFontMetrics name(NameFont(font(), true));
  const int line = fontMetrics().height();
  int y = row.top() + kMargin + name.height() + 2 + kDescriptionLines * line + kMargin;
  int x = left;
  for (const AlbumButton which :
       {AlbumButton::kEdit, AlbumButton::kDelete, AlbumButton::kAddPhotos, AlbumButton::kSend}) {
    QPushButton* button = Button(which);
    const AlbumItemButton& state = item.Button(which);
    button->setText(ToQt(state.caption).replace("&", "&&"));
    button->setToolTip(ToQt(state.tooltip));
    button->setEnabled(state.enabled);
    button->setVisible(state.shown);
    if (!state.shown) continue;
    const QSize size = button->sizeHint();
    button->setGeometry(x, y, size.width(), size.height());
    x += size.width() + kMargin;
  }
  y += Button(AlbumButton::kEdit)->sizeHint().height() + 4;
  for (const AlbumButton which : {AlbumButton::kFolder, AlbumButton::kWeb}) {
    QPushButton* button = Button(which);
    const AlbumItemButton& state = item.Button(which);
    const QString caption = ToQt(state.caption);
    button->setText(
        button->fontMetrics().elidedText(caption, Qt::ElideMiddle, width - 8).replace("&", "&&"));
    button->setToolTip(ToQt(state.tooltip));
    button->setEnabled(state.enabled);
    button->setVisible(state.shown && !caption.isEmpty());
    const int height = button->sizeHint().height();
    button->setGeometry(left, y, std::min(width, button->sizeHint().width()), height);
    y += height;
  }
}

// --- Drawing ---

const QPixmap& AlbumsListWidget::CoverOf(int index, bool large) {
  static const QPixmap kNone;
  const AlbumsListItem& item = items_[static_cast<size_t>(index)];
  // The expanded item shows the small cover until the large one is there.
  const bool useLarge = large && item.largeCover != nullptr;
  const ImagePtr& source = useLarge ? item.largeCover : item.cover;
  if (source == nullptr) return kNone;
  CachedCover& cached = (large ? largeCovers_ : smallCovers_)[static_cast<size_t>(index)];
  if (cached.source != source || cached.pixmap.isNull()) {
    cached.source = source;
    const QImage image = ImageToQt(*source);
    const QSize box = large ? QSize(kLargeCoverWidth, kLargeCoverHeight)
                            : QSize(kSmallCoverWidth, kSmallCoverHeight);
    cached.pixmap =
        image.isNull()
            ? QPixmap()
            : QPixmap::fromImage(image.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation));
  }
  return cached.pixmap;
}

void AlbumsListWidget::paintEvent(QPaintEvent* /*event*/) {
  QPainter painter(viewport());
  painter.setRenderHint(QPainter::Antialiasing);
  for (int i = 0; i < Count(); ++i) {
    const QRect rect = ItemRect(i);
    if (rect.bottom() < 0) continue;
    if (rect.top() > viewport()->height()) break;
    PaintItem(painter, i);
  }
}

void AlbumsListWidget::PaintItem(QPainter& painter, int index) {
  const AlbumsListItem& item = items_[static_cast<size_t>(index)];
  const bool expanded = index == expanded_;
  const QRect row = ItemRect(index);
  if (expanded) {
    painter.setPen(QPen(hasFocus() ? kExpandedFrame.darker(130) : kExpandedFrame, 1));
    painter.setBrush(kExpandedBackground);
    painter.drawRoundedRect(QRectF(row).adjusted(1.5, 1.5, -1.5, -1.5), 4, 4);
  } else {
    painter.setPen(kSeparator);
    painter.drawLine(row.left() + kMargin, row.bottom(), row.right() - kMargin, row.bottom());
  }

  // The cover, centred in its box; a grey box while there is none.
  const QSize box = expanded ? QSize(kLargeCoverWidth, kLargeCoverHeight)
                             : QSize(kSmallCoverWidth, kSmallCoverHeight);
  const QRect coverBox(
      row.left() + kMargin,
      expanded ? row.top() + kMargin : row.top() + (row.height() - box.height()) / 2, box.width(),
      box.height());
  const QPixmap& cover = CoverOf(index, expanded);
  if (!cover.isNull()) {
    const QPixmap shown = cover.size().width() > box.width() || cover.size().height() > box.height()
                              ? cover.scaled(box, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                              : cover;
    painter.drawPixmap(coverBox.left() + (box.width() - shown.width()) / 2,
                       coverBox.top() + (box.height() - shown.height()) / 2, shown);
  } else {
    painter.setPen(Qt::NoPen);
    painter.setBrush(kNoCover);
    painter.drawRoundedRect(coverBox, 3, 3);
  }
  if (item.cover == nullptr && events_ != nullptr && coversAsked_.insert(index).second) {
    events_->OnCoverWanted(index);
  }

  // Times at the right, in grey; their tooltips say which is which.
  const QFont small = SmallFont(font());
  painter.setFont(small);
  painter.setPen(kGreyText);
  painter.drawText(TimeRect(index, false), Qt::AlignRight | Qt::AlignVCenter, ToQt(item.created));
  painter.drawText(TimeRect(index, true), Qt::AlignRight | Qt::AlignVCenter, ToQt(item.updated));

  // Name with its marks, then the description.
  const int left = coverBox.right() + 1 + kGap;
  const int width = std::max(row.right() - kMargin - kTimesWidth - kGap - left, 20);
  const QFont nameFont = NameFont(font(), expanded);
  const QFontMetrics nameMetrics(nameFont);
  const QString marks = Marks(item);
  const int marksWidth = marks.isEmpty() ? 0 : QFontMetrics(small).horizontalAdvance(marks) + kGap;
  int y = expanded
              ? row.top() + kMargin
              : row.top() + (row.height() - nameMetrics.height() - 2 - fontMetrics().height()) / 2;
  painter.setFont(nameFont);
  painter.setPen(palette().color(QPalette::Text));
  const QString name =
      nameMetrics.elidedText(ToQt(item.name), Qt::ElideRight, std::max(width - marksWidth, 20));
  painter.drawText(QRect(left, y, width, nameMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
                   name);
  if (!marks.isEmpty()) {
    painter.setFont(small);
    painter.setPen(kMarkText);
    painter.drawText(QRect(left + nameMetrics.horizontalAdvance(name) + kGap, y, marksWidth,
                           nameMetrics.height()),
                     Qt::AlignLeft | Qt::AlignVCenter, marks);
  }
  y += nameMetrics.height() + 2;
  painter.setFont(font());
  painter.setPen(kGreyText);
  const QString description = ToQt(item.description);
  if (!expanded) {
    QString line = description;
    line.replace('\n', ' ');
    painter.drawText(QRect(left, y, width, fontMetrics().height()),
                     Qt::AlignLeft | Qt::AlignVCenter,
                     fontMetrics().elidedText(line, Qt::ElideRight, width));
    return;
  }
  const int descriptionWidth = row.right() - kMargin - left;
  const QRect area(left, y, descriptionWidth, kDescriptionLines * fontMetrics().height());
  painter.save();
  painter.setClipRect(area);
  painter.drawText(area, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, description);
  painter.restore();
}

// --- Events ---

void AlbumsListWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRange();
  PlaceButtons();
}

void AlbumsListWidget::scrollContentsBy(int /*dx*/, int /*dy*/) {
  PlaceButtons();
  viewport()->update();
}

bool AlbumsListWidget::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const int index = IndexAt(help->pos());
    QString text;
    if (index >= 0) {
      const AlbumsListItem& item = items_[static_cast<size_t>(index)];
      if (TimeRect(index, false).contains(help->pos())) text = ToQt(item.createdTooltip);
      if (TimeRect(index, true).contains(help->pos())) text = ToQt(item.updatedTooltip);
    }
    if (text.isEmpty()) {
      QToolTip::hideText();
    } else {
      QToolTip::showText(help->globalPos(), text, viewport());
    }
    return true;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void AlbumsListWidget::Choose(int index) {
  if (index < 0 || index >= Count()) return;
  if (events_ != nullptr) {
    events_->OnItemSelected(index);
  } else {
    SetExpanded(index);
    EnsureVisible(index);
  }
}

void AlbumsListWidget::mousePressEvent(QMouseEvent* event) {
  setFocus(Qt::MouseFocusReason);
  if (event->button() != Qt::LeftButton) return;
  const int index = IndexAt(event->position().toPoint());
  if (index >= 0 && index != expanded_) Choose(index);
}

void AlbumsListWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int index = IndexAt(event->position().toPoint());
  if (index >= 0 && events_ != nullptr) events_->OnItemOpened(index);
}

void AlbumsListWidget::keyPressEvent(QKeyEvent* event) {
  const int last = Count() - 1;
  const int rowsPerPage = std::max(viewport()->height() / std::max(RowHeight(), 1) - 1, 1);
  switch (event->key()) {
    case Qt::Key_Up:
      Choose(expanded_ < 0 ? 0 : std::max(expanded_ - 1, 0));
      return;
    case Qt::Key_Down:
      Choose(expanded_ < 0 ? 0 : std::min(expanded_ + 1, last));
      return;
    case Qt::Key_PageUp:
      Choose(std::max(expanded_ - rowsPerPage, 0));
      return;
    case Qt::Key_PageDown:
      Choose(std::min(std::max(expanded_, 0) + rowsPerPage, last));
      return;
    case Qt::Key_Home:
      Choose(0);
      return;
    case Qt::Key_End:
      Choose(last);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (expanded_ >= 0 && events_ != nullptr) events_->OnItemOpened(expanded_);
      return;
    case Qt::Key_Delete:
      if (expanded_ >= 0 && events_ != nullptr) events_->OnDeleteKey(expanded_);
      return;
    default:
      break;
  }
  const QString text = event->text();
  const bool plain = !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier));
  if (plain && !text.isEmpty() && text.at(0).isLetterOrNumber()) {
    if (events_ != nullptr) events_->OnCharacterTyped(FromQt(text.left(1)));
    return;
  }
  QAbstractScrollArea::keyPressEvent(event);
}

}  // namespace zerva::gui
