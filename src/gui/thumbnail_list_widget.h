// The thumbnail list on the screen: square cells in rows, each tile drawn at paint time from
// what the list's controller says of its position (picture, name, frame, state text, icons).
// Clicks, keys, the context menu, tooltips, dragging a tile to another place and files dropped
// from the desktop's file manager go back to the controller; the widget knows nothing of items.
#pragma once

#include <QAbstractScrollArea>
#include <QPixmap>
#include <QPointer>
#include <map>
#include <string>
#include <vector>

#include "ui/thumbs_list_view.h"

class QDialog;
class QLabel;
class QMimeData;
class QTimer;

namespace zerva::gui {

// The drag data of a tile moved inside the list.
inline constexpr char kTileMimeType[] = "application/x-zerva-tile";
// Tooltips: shown after the mouse rests this long on a tile, hidden again after the second.
inline constexpr int kTileTooltipDelayMs = 600;
inline constexpr int kTileTooltipShownMs = 10000;
inline constexpr int kTileTooltipMaxWidth = 500;

class ThumbnailListWidget : public QAbstractScrollArea, public ThumbsListView {
  Q_OBJECT

 public:
  explicit ThumbnailListWidget(QWidget* parent = nullptr);
  ~ThumbnailListWidget() override;

  // --- ThumbsListView ---
  void SetEvents(ThumbsListEvents* events) override;
  void SetTileSize(int thumbSize, int spacing) override;
  void SetTileCount(int count) override;
  void RedrawTile(int position) override;
  void RedrawAll() override;
  int CurrentPosition() const override { return current_; }
  void SetCurrentPosition(int position) override;
  void EnsureVisible(int position) override;
  int ShowContextMenu(const std::vector<MenuEntry>& entries) override;
  void ShowProperties(const std::string& title, const std::string& text) override;

  // --- Geometry, in the viewport's coordinates ---
  int Count() const { return count_; }
  int ThumbSize() const { return thumbSize_; }
  int Spacing() const { return spacing_; }
  int Columns() const;
  QRect CellRect(int position) const;
  // The square the picture is fitted into.
  QRect PictureRect(int position) const;
  // Where the tile's icon is; empty when the tile does not offer it.
  QRect IconRect(int position, TileIcon icon) const;
  // The tile under `point`, -1 for none.
  int PositionAt(const QPoint& point) const;
  TileIcon IconAt(int position, const QPoint& point) const;
  // The place a tile dropped at `point` goes to: before the tile of that number (0..Count()).
  // `atRightEdge`: the place is shown at the right edge of the tile before it.
  int InsertionAt(const QPoint& point, bool* atRightEdge = nullptr) const;
  // The insertion place shown while a tile is dragged over the list, -1 for none.
  int ShownInsertion() const { return insertion_; }
  // The drag data of the tile at `from`; only this list takes it.
  QMimeData* TileDragData(int from) const;
  // The tooltip window of the tiles (hidden while none is shown).
  QLabel* TooltipWindow() const { return tooltip_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool viewportEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dragLeaveEvent(QDragLeaveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  // A tile's picture scaled for its cell, kept while the controller hands the same image, and
  // the icons it offered when it was drawn (hit tests then need not ask again).
  struct CachedPicture {
    ImagePtr source;
    int size = 0;
    QPixmap pixmap;
    bool canTurn = false;
    bool canPlay = false;
  };

  // The position a drag of this list carries; -1 for any other drag.
  int DraggedTile(const QMimeData* mime) const;
  TileInfo TileAt(int position) const;
  const QPixmap& PictureOf(int position, const TileInfo& tile);
  void PaintTile(QPainter& painter, int position);
  void PaintIcons(QPainter& painter, int position, const TileInfo& tile, bool active);
  void PaintInsertion(QPainter& painter);
  QRect IconRectFor(int position, TileIcon icon, const TileInfo& tile) const;
  int Margin() const;
  void UpdateScrollRange();
  // Makes `position` current; tells the controller when `notify` and it changed.
  void ChangeCurrent(int position, bool notify);
  void MoveCurrent(int by);
  void StartDrag();
  // The hovered tile and icon changed: the tooltip waits anew.
  void Hover(const QPoint& point);
  void ShowTooltip();
  void HideTooltip();
  void AutoScroll();

  ThumbsListEvents* events_ = nullptr;
  int thumbSize_ = 100;
  int spacing_ = 145;
  int count_ = 0;
  int current_ = -1;
  std::map<int, CachedPicture> pictures_;

  // Mouse: the press that may become a click or a drag.
  int pressed_ = -1;
  QPoint pressPoint_;
  TileIcon pressIcon_ = TileIcon::kNone;
  bool skipRelease_ = false;
  QPoint contextPoint_;  // global; where the context menu opens
  bool contextPointSet_ = false;

  // Dragging a tile: the insertion place (-1: none) and which side of the cell it is drawn at.
  int insertion_ = -1;
  bool insertionAfter_ = false;
  QPoint dragPoint_;
  QTimer* autoScroll_;

  // Tooltips.
  int hoverPosition_ = -1;
  TileIcon hoverIcon_ = TileIcon::kNone;
  QPoint hoverGlobal_;
  QTimer* tooltipDelay_;
  QTimer* tooltipHide_;
  QLabel* tooltip_;

  QPointer<QDialog> properties_;
};

}  // namespace zerva::gui
