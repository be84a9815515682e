#include "gui/albums_page_widgets.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/albums_list_widget.h"
#include "gui/control_widgets.h"
#include "ui/albums_page.h"

namespace zerva::gui {

void BuildAlbumsPage(QWidget* page, FormView& view) {
  auto* layout = new QVBoxLayout(page);
  auto* buttons = new QHBoxLayout;
  QPushButton* newAlbum = Make<QPushButton>(view, kAlbumsNewAlbum, page);
  newAlbum->setAutoDefault(false);
  newAlbum->setMinimumWidth(140);
  buttons->addWidget(newAlbum);
  QPushButton* sort = Make<QPushButton>(view, kAlbumsSort, page);
  sort->setAutoDefault(false);
  buttons->addWidget(sort);
  buttons->addStretch(1);
  layout->addLayout(buttons);
  // Made after the buttons, so that Tab goes from them to the list and on to its item's buttons.
  layout->addWidget(Make<AlbumsListWidget>(view, kAlbumsList, page), 1);
}

}  // namespace zerva::gui
