#include "gui/thumbnail_list_widget.h"

#include <FreeImagePlus.h>

#include <QApplication>
#include <QDialog>
#include <QDrag>
#include <QDragEnterEvent>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "app/text_utils.h"
#include "gui/command_menu.h"
#include "gui/item_image_qt.h"
#include "gui/qt_text.h"

namespace zerva::gui {
namespace {

constexpr int kPictureTop = 6;  // the picture's distance from the cell's top
constexpr int kAutoScrollEdge = 24;
constexpr int kAutoScrollStepMs = 40;

// The local files of a drop from the file manager.
std::vector<std::string> LocalFiles(const QMimeData* mime) {
  std::vector<std::string> paths;
  if (mime == nullptr || !mime->hasUrls()) return paths;
  for (const QUrl& url : mime->urls()) {
    if (url.isLocalFile() && !url.toLocalFile().isEmpty())
      paths.push_back(FromQt(url.toLocalFile()));
  }
  return paths;
}

// The round background every icon sits on, so that it shows on any picture.
void IconBackground(QPainter& painter, const QRectF& rect) {
  painter.setPen(QPen(QColor(0, 0, 0, 90), 1));
  painter.setBrush(QColor(255, 255, 255, 215));
  painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 3, 3);
}

// A quarter-circle arrow; `clockwise` for the right turn.
void TurnIcon(QPainter& painter, const QRectF& rect, bool clockwise) {
  IconBackground(painter, rect);
  const QRectF arc = rect.adjusted(rect.width() * 0.25, rect.height() * 0.28, -rect.width() * 0.25,
                                   -rect.height() * 0.22);
  QPen pen(QColor(40, 40, 40), std::max(1.5, rect.width() / 9));
  pen.setCapStyle(Qt::RoundCap);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  // The arc runs over the top from one side to the other; its head points down.
  const int start = clockwise ? 180 * 16 : 0;
  const int span = clockwise ? -230 * 16 : 230 * 16;
  painter.drawArc(arc, start, span);
  const double angle = (start + span) / 16.0 * M_PI / 180.0;
  const QPointF end(arc.center().x() + arc.width() / 2 * std::cos(angle),
                    arc.center().y() - arc.height() / 2 * std::sin(angle));
  const double head = rect.width() * 0.22;
  const double side = clockwise ? 1 : -1;
  QPolygonF arrow;
  arrow << end + QPointF(-side * head, -head * 0.2) << end + QPointF(side * head * 0.4, -head)
        << end + QPointF(side * head * 0.5, head * 0.6);
  painter.setBrush(QColor(40, 40, 40));
  painter.setPen(Qt::NoPen);
  painter.drawPolygon(arrow);
}

// A check box: ticked for an included item.
void IncludeIcon(QPainter& painter, const QRectF& rect, bool included) {
  IconBackground(painter, rect);
  const QRectF box = rect.adjusted(rect.width() * 0.2, rect.height() * 0.2, -rect.width() * 0.2,
                                   -rect.height() * 0.2);
  painter.setPen(QPen(QColor(60, 60, 60), 1));
  painter.setBrush(included ? QColor(38, 162, 105) : QColor(255, 255, 255));
  painter.drawRect(box);
  if (!included) return;
  QPen tick(Qt::white, std::max(1.5, rect.width() / 8));
  tick.setCapStyle(Qt::RoundCap);
  tick.setJoinStyle(Qt::RoundJoin);
  painter.setPen(tick);
  QPolygonF mark;
  mark << QPointF(box.left() + box.width() * 0.2, box.top() + box.height() * 0.52)
       << QPointF(box.left() + box.width() * 0.42, box.top() + box.height() * 0.75)
       << QPointF(box.left() + box.width() * 0.8, box.top() + box.height() * 0.25);
  painter.drawPolyline(mark);
}

// A star: filled for the album's cover.
void CoverIcon(QPainter& painter, const QRectF& rect, bool isCover) {
  IconBackground(painter, rect);
  QPolygonF star;
  const QPointF centre = rect.center();
  const double outer = rect.width() * 0.38;
  const double inner = outer * 0.45;
  for (int i = 0; i < 10; ++i) {
    const double angle = -M_PI / 2 + i * M_PI / 5;
    const double radius = i % 2 == 0 ? outer : inner;
    star << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
  }
  painter.setPen(QPen(QColor(150, 110, 0), 1));
  painter.setBrush(isCover ? QBrush(QColor(246, 190, 0)) : QBrush(Qt::NoBrush));
  painter.drawPolygon(star);
}

void PlayIcon(QPainter& painter, const QRectF& rect) {
  painter.setPen(QPen(QColor(255, 255, 255, 230), 2));
  painter.setBrush(QColor(0, 0, 0, 140));
  painter.drawEllipse(rect.adjusted(1, 1, -1, -1));
  QPolygonF triangle;
  triangle << QPointF(rect.left() + rect.width() * 0.4, rect.top() + rect.height() * 0.3)
           << QPointF(rect.left() + rect.width() * 0.72, rect.center().y())
           << QPointF(rect.left() + rect.width() * 0.4, rect.top() + rect.height() * 0.7);
  painter.setPen(Qt::NoPen);
  painter.setBrush(Qt::white);
  painter.drawPolygon(triangle);
}

// The properties of an item: its title and its text; Esc closes it.
class PropertiesWindow : public QDialog {
 public:
  explicit PropertiesWindow(QWidget* parent) : QDialog(parent) {
    setObjectName("propertiesWindow");
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    text_ = new QPlainTextEdit(this);
    text_->setObjectName("propertiesText");
    text_->setReadOnly(true);
    text_->setLineWrapMode(QPlainTextEdit::NoWrap);
    layout->addWidget(text_);
    resize(460, 380);
  }
  void Fill(const std::string& title, const std::string& text) {
    setWindowTitle(ToQt(title));
    text_->setPlainText(ToQt(NormalizeToLf(text, false, false, false)));
  }

 private:
  QPlainTextEdit* text_;
};

}  // namespace

ThumbnailListWidget::ThumbnailListWidget(QWidget* parent) : QAbstractScrollArea(parent) {
  setFocusPolicy(Qt::StrongFocus);
  setAcceptDrops(true);
  viewport()->setAcceptDrops(true);
  viewport()->setMouseTracking(true);
  viewport()->setBackgroundRole(QPalette::Base);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);

  autoScroll_ = new QTimer(this);
  autoScroll_->setInterval(kAutoScrollStepMs);
  connect(autoScroll_, &QTimer::timeout, this, [this] { AutoScroll(); });

  tooltipDelay_ = new QTimer(this);
  tooltipDelay_->setSingleShot(true);
  tooltipDelay_->setInterval(kTileTooltipDelayMs);
  connect(tooltipDelay_, &QTimer::timeout, this, [this] { ShowTooltip(); });
  tooltipHide_ = new QTimer(this);
  tooltipHide_->setSingleShot(true);
  tooltipHide_->setInterval(kTileTooltipShownMs);
  connect(tooltipHide_, &QTimer::timeout, this, [this] { HideTooltip(); });
  tooltip_ = new QLabel(this, Qt::ToolTip | Qt::FramelessWindowHint);
  tooltip_->setObjectName("tileTooltip");
  tooltip_->setWordWrap(true);
  tooltip_->setMargin(4);
  tooltip_->setForegroundRole(QPalette::ToolTipText);
  tooltip_->setBackgroundRole(QPalette::ToolTipBase);
  tooltip_->setPalette(QToolTip::palette());
  tooltip_->setAutoFillBackground(true);
  tooltip_->setFrameShape(QFrame::Box);
  tooltip_->hide();
}

ThumbnailListWidget::~ThumbnailListWidget() = default;

// --- ThumbsListView ---

void ThumbnailListWidget::SetEvents(ThumbsListEvents* events) {
  events_ = events;
  RedrawAll();
}

void ThumbnailListWidget::SetTileSize(int thumbSize, int spacing) {
  thumbSize_ = std::max(thumbSize, 8);
  spacing_ = std::max(spacing, thumbSize_);
  pictures_.clear();
  UpdateScrollRange();
  viewport()->update();
}

void ThumbnailListWidget::SetTileCount(int count) {
  count_ = std::max(count, 0);
  if (current_ >= count_) current_ = -1;
  pressed_ = -1;
  hoverPosition_ = -1;
  HideTooltip();
  pictures_.clear();
  UpdateScrollRange();
  viewport()->update();
}

void ThumbnailListWidget::RedrawTile(int position) {
  pictures_.erase(position);
  if (position >= 0 && position < count_) viewport()->update(CellRect(position));
}

void ThumbnailListWidget::RedrawAll() {
  pictures_.clear();
  viewport()->update();
}

void ThumbnailListWidget::SetCurrentPosition(int position) {
  ChangeCurrent(position, false);
  if (current_ >= 0) EnsureVisible(current_);
}

void ThumbnailListWidget::EnsureVisible(int position) {
  if (position < 0 || position >= count_) return;
  const QRect cell = CellRect(position);
  QScrollBar* bar = verticalScrollBar();
  if (cell.top() < 0) {
    bar->setValue(bar->value() + cell.top());
  } else if (cell.bottom() > viewport()->height()) {
    bar->setValue(bar->value() + cell.bottom() - viewport()->height() + 1);
  }
}

int ThumbnailListWidget::ShowContextMenu(const std::vector<MenuEntry>& entries) {
  QPoint at = contextPointSet_ ? contextPoint_ : QCursor::pos();
  if (!contextPointSet_ && current_ >= 0) {
    at = viewport()->mapToGlobal(PictureRect(current_).center());
  }
  contextPointSet_ = false;
  HideTooltip();
  return ExecCommandMenu(this, entries, at);
}

void ThumbnailListWidget::ShowProperties(const std::string& title, const std::string& text) {
  // Only this list makes the window it keeps.
  auto* window = static_cast<PropertiesWindow*>(properties_.data());
  if (window == nullptr) {
    window = new PropertiesWindow(this);
    properties_ = window;
  }
  window->Fill(title, text);
  window->show();
  window->raise();
  window->activateWindow();
}

// --- Geometry ---

int ThumbnailListWidget::Margin() const {
  return 4;
}

int ThumbnailListWidget::Columns() const {
  return std::max(1, (viewport()->width() - 2 * Margin()) / spacing_);
}

QRect ThumbnailListWidget::CellRect(int position) const {
  const int columns = Columns();
  const int row = position / columns;
  const int column = position % columns;
  return QRect(Margin() + column * spacing_,
               Margin() + row * spacing_ - verticalScrollBar()->value(), spacing_, spacing_);
}

QRect ThumbnailListWidget::PictureRect(int position) const {
  const QRect cell = CellRect(position);
  return QRect(cell.left() + (spacing_ - thumbSize_) / 2, cell.top() + kPictureTop, thumbSize_,
               thumbSize_);
}

QRect ThumbnailListWidget::IconRectFor(int position, TileIcon icon, const TileInfo& tile) const {
  const QRect picture = PictureRect(position);
  const int side = std::clamp(thumbSize_ / 5, 14, 22);
  const int inset = 3;
  switch (icon) {
    case TileIcon::kTurnLeft:
      if (!tile.canTurn) return {};
      return QRect(picture.left() + inset, picture.top() + inset, side, side);
    case TileIcon::kTurnRight:
      if (!tile.canTurn) return {};
      return QRect(picture.right() - inset - side + 1, picture.top() + inset, side, side);
    case TileIcon::kInclude:
      return QRect(picture.left() + inset, picture.bottom() - inset - side + 1, side, side);
    case TileIcon::kCover:
      return QRect(picture.right() - inset - side + 1, picture.bottom() - inset - side + 1, side,
                   side);
    case TileIcon::kPlay: {
      if (!tile.canPlay) return {};
      QRect play(0, 0, side * 3 / 2, side * 3 / 2);
      play.moveCenter(picture.center());
      return play;
    }
    case TileIcon::kNone:
      break;
  }
  return {};
}

QRect ThumbnailListWidget::IconRect(int position, TileIcon icon) const {
  if (position < 0 || position >= count_) return {};
  return IconRectFor(position, icon, TileAt(position));
}

int ThumbnailListWidget::PositionAt(const QPoint& point) const {
  const int x = point.x() - Margin();
  const int y = point.y() - Margin() + verticalScrollBar()->value();
  if (x < 0 || y < 0) return -1;
  const int column = x / spacing_;
  if (column >= Columns()) return -1;
  const int position = (y / spacing_) * Columns() + column;
  return position < count_ ? position : -1;
}

TileIcon ThumbnailListWidget::IconAt(int position, const QPoint& point) const {
  if (position < 0 || position >= count_) return TileIcon::kNone;
  TileInfo tile;
  const auto drawn = pictures_.find(position);
  if (drawn != pictures_.end()) {
    tile.canTurn = drawn->second.canTurn;
    tile.canPlay = drawn->second.canPlay;
  } else {
    tile = TileAt(position);
  }
  // The play mark sits over the middle of the picture, the others in its corners.
  for (const TileIcon icon : {TileIcon::kPlay, TileIcon::kTurnLeft, TileIcon::kTurnRight,
                              TileIcon::kInclude, TileIcon::kCover}) {
    if (IconRectFor(position, icon, tile).contains(point)) return icon;
  }
  return TileIcon::kNone;
}

int ThumbnailListWidget::InsertionAt(const QPoint& point, bool* atRightEdge) const {
  if (atRightEdge != nullptr) *atRightEdge = false;
  if (count_ == 0) return 0;
  const int columns = Columns();
  const int x = std::max(point.x() - Margin(), 0);
  const int y = point.y() - Margin() + verticalScrollBar()->value();
  if (y < 0) return 0;
  const int column = std::min(x / spacing_, columns - 1);
  // The right half of a cell puts the tile after it.
  const bool after = x - column * spacing_ >= spacing_ / 2;
  const int place = (y / spacing_) * columns + column + (after ? 1 : 0);
  if (place >= count_) {
    if (atRightEdge != nullptr) *atRightEdge = true;
    return count_;
  }
  if (atRightEdge != nullptr) *atRightEdge = after;
  return place;
}

void ThumbnailListWidget::UpdateScrollRange() {
  const int rows = (count_ + Columns() - 1) / Columns();
  const int content = rows * spacing_ + 2 * Margin();
  QScrollBar* bar = verticalScrollBar();
  bar->setRange(0, std::max(0, content - viewport()->height()));
  bar->setSingleStep(std::max(spacing_ / 4, 1));
  bar->setPageStep(std::max(viewport()->height(), 1));
}

// --- Drawing ---

TileInfo ThumbnailListWidget::TileAt(int position) const {
  return events_ != nullptr ? events_->Tile(position) : TileInfo{};
}

const QPixmap& ThumbnailListWidget::PictureOf(int position, const TileInfo& tile) {
  CachedPicture& cached = pictures_[position];
  cached.canTurn = tile.canTurn;
  cached.canPlay = tile.canPlay;
  if (cached.source != tile.image || cached.size != thumbSize_) {
    cached.source = tile.image;
    cached.size = thumbSize_;
    cached.pixmap = QPixmap();
    if (tile.image) {
      const QImage image = ImageToQt(*tile.image);
      if (!image.isNull()) {
        cached.pixmap = QPixmap::fromImage(
            image.scaled(thumbSize_, thumbSize_, Qt::KeepAspectRatio, Qt::SmoothTransformation));
      }
    }
  }
  return cached.pixmap;
}

void ThumbnailListWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(viewport());
  painter.setRenderHint(QPainter::Antialiasing);
  if (events_ == nullptr || count_ == 0) return;
  const int columns = Columns();
  const int top = verticalScrollBar()->value();
  const int firstRow = std::max(0, (top + event->rect().top() - Margin()) / spacing_);
  const int lastRow = (top + event->rect().bottom() - Margin()) / spacing_;
  for (int row = firstRow; row <= lastRow; ++row) {
    for (int column = 0; column < columns; ++column) {
      const int position = row * columns + column;
      if (position >= count_) break;
      if (CellRect(position).intersects(event->rect())) PaintTile(painter, position);
    }
  }
  PaintInsertion(painter);
}

void ThumbnailListWidget::PaintTile(QPainter& painter, int position) {
  const TileInfo tile = events_->Tile(position);
  const QRect cell = CellRect(position);
  const QRect square = PictureRect(position);
  const bool isCurrent = position == current_;
  if (isCurrent) {
    QColor selection = palette().color(QPalette::Highlight);
    selection.setAlpha(hasFocus() ? 70 : 40);
    painter.fillRect(cell.adjusted(1, 1, -1, -1), selection);
  }

  const QPixmap& picture = PictureOf(position, tile);
  QRect framed = square;
  if (!picture.isNull()) {
    QRect shown(QPoint(), picture.size());
    shown.moveCenter(square.center());
    painter.save();
    // An excluded item is drawn faded.
    if (!tile.included) painter.setOpacity(0.35);
    painter.drawPixmap(shown.topLeft(), picture);
    painter.restore();
    framed = shown;
  } else {
    painter.fillRect(square, palette().color(QPalette::AlternateBase));
    painter.setPen(palette().color(QPalette::PlaceholderText));
    painter.drawText(square.adjusted(4, 4, -4, -4), Qt::AlignCenter | Qt::TextWordWrap,
                     ToQtPlain(tile.stateText));
  }
  painter.setPen(QPen(QColor(static_cast<QRgb>(tile.frameRgb)), 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(QRectF(framed).adjusted(-1, -1, 1, 1));

  const QRect nameRect(cell.left() + 2, square.bottom() + 5, cell.width() - 4,
                       fontMetrics().height());
  painter.setPen(palette().color(tile.included ? QPalette::Text : QPalette::PlaceholderText));
  QFont font = painter.font();
  font.setBold(isCurrent);
  painter.setFont(font);
  const QString name =
      QFontMetrics(font).elidedText(ToQt(tile.name), Qt::ElideMiddle, nameRect.width());
  painter.drawText(nameRect, Qt::AlignHCenter | Qt::AlignTop, name);
  font.setBold(false);
  painter.setFont(font);

  PaintIcons(painter, position, tile, isCurrent || position == hoverPosition_);
  if (isCurrent && hasFocus()) {
    painter.setPen(QPen(palette().color(QPalette::Highlight), 1, Qt::DotLine));
    painter.drawRect(cell.adjusted(1, 1, -2, -2));
  }
}

void ThumbnailListWidget::PaintIcons(QPainter& painter, int position, const TileInfo& tile,
                                     bool active) {
  // The marks of the item's state always show; the commands only on the tile the mouse or
  // the keyboard is at.
  const QRect include = IconRectFor(position, TileIcon::kInclude, tile);
  IncludeIcon(painter, include, tile.included);
  if (tile.isCover || active)
    CoverIcon(painter, IconRectFor(position, TileIcon::kCover, tile), tile.isCover);
  if (tile.canPlay) PlayIcon(painter, IconRectFor(position, TileIcon::kPlay, tile));
  if (active && tile.canTurn) {
    TurnIcon(painter, IconRectFor(position, TileIcon::kTurnLeft, tile), false);
    TurnIcon(painter, IconRectFor(position, TileIcon::kTurnRight, tile), true);
  }
}

void ThumbnailListWidget::PaintInsertion(QPainter& painter) {
  if (insertion_ < 0 || count_ == 0) return;
  // At the right edge of the tile before the place, or the left edge of the tile after it.
  const bool after = insertionAfter_ && insertion_ > 0;
  const QRect cell = CellRect(after ? insertion_ - 1 : insertion_);
  const int x = after ? cell.right() : cell.left();
  const QRect bar(x - 2, cell.top() + 2, 4, cell.height() - 4);
  painter.fillRect(bar, palette().color(QPalette::Highlight));
}

// --- Events ---

void ThumbnailListWidget::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateScrollRange();
}

void ThumbnailListWidget::scrollContentsBy(int /*dx*/, int /*dy*/) {
  HideTooltip();
  viewport()->update();
}

bool ThumbnailListWidget::viewportEvent(QEvent* event) {
  switch (event->type()) {
    case QEvent::ToolTip:
      // The tiles show their own tooltips.
      return true;
    case QEvent::Leave:
      hoverPosition_ = -1;
      tooltipDelay_->stop();
      HideTooltip();
      viewport()->update();
      break;
    default:
      break;
  }
  return QAbstractScrollArea::viewportEvent(event);
}

void ThumbnailListWidget::ChangeCurrent(int position, bool notify) {
  if (position < -1 || position >= count_) position = -1;
  if (position == current_) return;
  const int previous = current_;
  current_ = position;
  if (previous >= 0) viewport()->update(CellRect(previous));
  if (current_ >= 0) viewport()->update(CellRect(current_));
  if (notify && events_ != nullptr) events_->OnCurrentChanged(current_);
}

void ThumbnailListWidget::mousePressEvent(QMouseEvent* event) {
  HideTooltip();
  tooltipDelay_->stop();
  const QPoint point = event->position().toPoint();
  const int position = PositionAt(point);
  if (event->button() == Qt::LeftButton) {
    pressed_ = position;
    pressPoint_ = point;
    pressIcon_ = IconAt(position, point);
    skipRelease_ = false;
    ChangeCurrent(position, true);
  } else if (event->button() == Qt::RightButton && position >= 0) {
    ChangeCurrent(position, true);
  }
  event->accept();
}

void ThumbnailListWidget::mouseMoveEvent(QMouseEvent* event) {
  const QPoint point = event->position().toPoint();
  if ((event->buttons() & Qt::LeftButton) && pressed_ >= 0 &&
      (point - pressPoint_).manhattanLength() >= QApplication::startDragDistance()) {
    StartDrag();
    return;
  }
  if (event->buttons() == Qt::NoButton) Hover(point);
}

void ThumbnailListWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const int pressed = pressed_;
  pressed_ = -1;
  if (skipRelease_) {
    skipRelease_ = false;
    return;
  }
  const QPoint point = event->position().toPoint();
  if (pressed < 0 || PositionAt(point) != pressed || events_ == nullptr) return;
  const TileIcon icon = IconAt(pressed, point) == pressIcon_ ? pressIcon_ : TileIcon::kNone;
  events_->OnTileClicked(pressed, icon);
}

void ThumbnailListWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const QPoint point = event->position().toPoint();
  const int position = PositionAt(point);
  // The release that ends the double click is no click of its own.
  skipRelease_ = true;
  pressed_ = -1;
  if (position >= 0 && events_ != nullptr) {
    events_->OnTileDoubleClicked(position, IconAt(position, point));
  }
}

void ThumbnailListWidget::contextMenuEvent(QContextMenuEvent* event) {
  int position = current_;
  if (event->reason() == QContextMenuEvent::Mouse) {
    // Mouse events come from the viewport, in its coordinates.
    position = PositionAt(event->pos());
    if (position < 0) return;
    ChangeCurrent(position, true);
    contextPoint_ = event->globalPos();
    contextPointSet_ = true;
  }
  if (position < 0 || events_ == nullptr) return;
  events_->OnContextMenu(position);
  contextPointSet_ = false;
}

void ThumbnailListWidget::keyPressEvent(QKeyEvent* event) {
  const int columns = Columns();
  const int rowsPerPage = std::max(1, viewport()->height() / spacing_);
  switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      if (current_ >= 0 && events_ != nullptr) events_->OnKey(current_, TileKey::kEnter);
      break;
    case Qt::Key_Space:
      if (current_ >= 0 && events_ != nullptr) events_->OnKey(current_, TileKey::kSpace);
      break;
    case Qt::Key_Left:
      MoveCurrent(-1);
      break;
    case Qt::Key_Right:
      MoveCurrent(1);
      break;
    case Qt::Key_Up:
      MoveCurrent(-columns);
      break;
    case Qt::Key_Down:
      MoveCurrent(columns);
      break;
    case Qt::Key_PageUp:
      MoveCurrent(-columns * rowsPerPage);
      break;
    case Qt::Key_PageDown:
      MoveCurrent(columns * rowsPerPage);
      break;
    case Qt::Key_Home:
      MoveCurrent(-count_);
      break;
    case Qt::Key_End:
      MoveCurrent(count_);
      break;
    default:
      QAbstractScrollArea::keyPressEvent(event);
      return;
  }
  event->accept();
}

void ThumbnailListWidget::MoveCurrent(int by) {
  if (count_ == 0) return;
  const int from = current_ < 0 ? (by > 0 ? -1 : count_) : current_;
  ChangeCurrent(std::clamp(from + by, 0, count_ - 1), true);
  EnsureVisible(current_);
}

void ThumbnailListWidget::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  if (current_ >= 0) viewport()->update(CellRect(current_));
}

void ThumbnailListWidget::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  if (current_ >= 0) viewport()->update(CellRect(current_));
}

// --- Dragging tiles and dropping files ---

QMimeData* ThumbnailListWidget::TileDragData(int from) const {
  // "process:list:position", so that a drag from another list or another running copy of the
  // program is never taken for one of this list's tiles.
  auto* mime = new QMimeData;
  mime->setData(kTileMimeType, QByteArray::number(QCoreApplication::applicationPid()) + ":" +
                                   QByteArray::number(reinterpret_cast<quintptr>(this)) + ":" +
                                   QByteArray::number(from));
  return mime;
}

int ThumbnailListWidget::DraggedTile(const QMimeData* mime) const {
  if (mime == nullptr || !mime->hasFormat(kTileMimeType)) return -1;
  const QList<QByteArray> parts = mime->data(kTileMimeType).split(':');
  if (parts.size() != 3 || parts[0] != QByteArray::number(QCoreApplication::applicationPid()) ||
      parts[1] != QByteArray::number(reinterpret_cast<quintptr>(this))) {
    return -1;
  }
  bool ok = false;
  const int from = parts[2].toInt(&ok);
  return ok && from >= 0 && from < count_ ? from : -1;
}

void ThumbnailListWidget::StartDrag() {
  const int from = pressed_;
  pressed_ = -1;
  HideTooltip();
  auto* drag = new QDrag(this);
  drag->setMimeData(TileDragData(from));
  const auto cached = pictures_.find(from);
  if (cached != pictures_.end() && !cached->second.pixmap.isNull()) {
    const QPixmap image =
        cached->second.pixmap.scaled(96, 96, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    drag->setPixmap(image);
    drag->setHotSpot(QPoint(image.width() / 2, image.height() / 2));
  }
  drag->setDragCursor(QCursor(Qt::ClosedHandCursor).pixmap(), Qt::MoveAction);
  drag->exec(Qt::MoveAction);
  insertion_ = -1;
  autoScroll_->stop();
  viewport()->update();
}

void ThumbnailListWidget::dragEnterEvent(QDragEnterEvent* event) {
  const QMimeData* mime = event->mimeData();
  if (DraggedTile(mime) >= 0) {
    event->setDropAction(Qt::MoveAction);
    event->accept();
  } else if (!LocalFiles(mime).empty()) {
    event->setDropAction(Qt::CopyAction);
    event->accept();
  } else {
    event->ignore();
  }
}

void ThumbnailListWidget::dragMoveEvent(QDragMoveEvent* event) {
  const QMimeData* mime = event->mimeData();
  if (DraggedTile(mime) < 0) {
    if (LocalFiles(mime).empty()) {
      event->ignore();
    } else {
      event->setDropAction(Qt::CopyAction);
      event->accept();
    }
    return;
  }
  const QPoint point = event->position().toPoint();
  dragPoint_ = point;
  bool after = false;
  const int insertion = InsertionAt(point, &after);
  if (insertion != insertion_ || after != insertionAfter_) {
    insertion_ = insertion;
    insertionAfter_ = after;
    viewport()->update();
  }
  const bool nearEdge =
      point.y() < kAutoScrollEdge || point.y() > viewport()->height() - kAutoScrollEdge;
  if (nearEdge && !autoScroll_->isActive()) autoScroll_->start();
  if (!nearEdge) autoScroll_->stop();
  event->setDropAction(Qt::MoveAction);
  event->accept();
}

void ThumbnailListWidget::dragLeaveEvent(QDragLeaveEvent* /*event*/) {
  insertion_ = -1;
  autoScroll_->stop();
  viewport()->update();
}

void ThumbnailListWidget::dropEvent(QDropEvent* event) {
  const QMimeData* mime = event->mimeData();
  insertion_ = -1;
  autoScroll_->stop();
  viewport()->update();
  if (mime->hasFormat(kTileMimeType)) {
    const int from = DraggedTile(mime);
    if (from < 0) {
      event->ignore();
      return;
    }
    const int place = InsertionAt(event->position().toPoint());
    // Taking the tile out first moves every later place one back.
    const int to = place > from ? place - 1 : place;
    event->setDropAction(Qt::MoveAction);
    event->accept();
    if (to != from && events_ != nullptr) events_->OnDragged(from, to);
    return;
  }
  const std::vector<std::string> files = LocalFiles(mime);
  if (files.empty()) {
    event->ignore();
    return;
  }
  event->setDropAction(Qt::CopyAction);
  event->accept();
  if (events_ != nullptr) events_->OnFilesDropped(files);
}

void ThumbnailListWidget::AutoScroll() {
  QScrollBar* bar = verticalScrollBar();
  if (dragPoint_.y() < kAutoScrollEdge) {
    bar->setValue(bar->value() - bar->singleStep());
  } else if (dragPoint_.y() > viewport()->height() - kAutoScrollEdge) {
    bar->setValue(bar->value() + bar->singleStep());
  } else {
    autoScroll_->stop();
  }
}

// --- Tooltips ---

void ThumbnailListWidget::Hover(const QPoint& point) {
  const int position = PositionAt(point);
  const TileIcon icon = IconAt(position, point);
  hoverGlobal_ = viewport()->mapToGlobal(point);
  if (position == hoverPosition_ && icon == hoverIcon_) return;
  const int previous = hoverPosition_;
  hoverPosition_ = position;
  hoverIcon_ = icon;
  if (previous != position) {
    if (previous >= 0) viewport()->update(CellRect(previous));
    if (position >= 0) viewport()->update(CellRect(position));
  }
  HideTooltip();
  if (position >= 0) {
    tooltipDelay_->start();
  } else {
    tooltipDelay_->stop();
  }
}

void ThumbnailListWidget::ShowTooltip() {
  if (hoverPosition_ < 0 || hoverPosition_ >= count_ || events_ == nullptr) return;
  const std::string text = events_->TileTooltip(hoverPosition_, hoverIcon_);
  if (text.empty()) return;
  tooltip_->setText(ToQtPlain(text));
  // As wide as the longest line needs, wrapped beyond the limit.
  int widest = 0;
  for (const QString& line : tooltip_->text().split('\n')) {
    widest = std::max(widest, tooltip_->fontMetrics().horizontalAdvance(line));
  }
  const int frame = 2 * (tooltip_->margin() + tooltip_->frameWidth()) + 2;
  tooltip_->setFixedWidth(std::min(widest + frame, kTileTooltipMaxWidth));
  tooltip_->setFixedHeight(tooltip_->heightForWidth(tooltip_->width()));
  tooltip_->move(hoverGlobal_ + QPoint(12, 18));
  tooltip_->show();
  tooltip_->raise();
  tooltipHide_->start();
}

void ThumbnailListWidget::HideTooltip() {
  tooltipHide_->stop();
  tooltip_->hide();
}

}  // namespace zerva::gui
