// The albums page's list on the screen: one row per album (cover, name, description, marks and
// times), the selected row drawn taller with the large cover and the item's six buttons, which
// are real buttons over the row so that the keyboard and tooltips reach them. Clicks, keys and
// the buttons go back to the page; the widget knows nothing of albums.
#pragma once

#include <QAbstractScrollArea>
#include <QPixmap>
#include <array>
#include <set>
#include <vector>

#include "ui/albums_list_view.h"

class QPushButton;

namespace zerva::gui {

class AlbumsListWidget : public QAbstractScrollArea, public AlbumsListView {
  Q_OBJECT

 public:
  explicit AlbumsListWidget(QWidget* parent = nullptr);
  ~AlbumsListWidget() override;

  // --- AlbumsListView ---
  void SetEvents(AlbumsListEvents* events) override;
  void SetItems(std::vector<AlbumsListItem> items) override;
  void SetItem(int index, AlbumsListItem item) override;
  void SetExpanded(int index) override;
  int Expanded() const override { return expanded_; }
  void EnsureVisible(int index) override;

  // --- Geometry, in the viewport's coordinates ---
  int Count() const { return static_cast<int>(items_.size()); }
  const AlbumsListItem& Item(int index) const { return items_.at(static_cast<size_t>(index)); }
  QRect ItemRect(int index) const;
  // The item under `point`, -1 for none.
  int IndexAt(const QPoint& point) const;
  // The expanded item's button (hidden while there is none).
  QPushButton* Button(AlbumButton button) const;
  // Where the item's creation and update times are drawn.
  QRect TimeRect(int index, bool updated) const;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;
  bool viewportEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // A cover scaled for its place, kept while the page hands the same picture.
  struct CachedCover {
    ImagePtr source;
    QPixmap pixmap;
  };

  int RowHeight() const;
  int ExpandedHeight() const;
  int Top(int index) const;  // in content coordinates
  void UpdateScrollRange();
  // Puts the buttons over the expanded row with the expanded item's captions and states.
  void PlaceButtons();
  void PaintItem(QPainter& painter, int index);
  const QPixmap& CoverOf(int index, bool large);
  // The user moved the selection.
  void Choose(int index);

  AlbumsListEvents* events_ = nullptr;
  std::vector<AlbumsListItem> items_;
  int expanded_ = -1;
  std::array<QPushButton*, kAlbumButtonCount> buttons_{};
  std::vector<CachedCover> smallCovers_;
  std::vector<CachedCover> largeCovers_;
  // Items whose missing cover was asked for once already.
  std::set<int> coversAsked_;
};

}  // namespace zerva::gui
