// The albums page's list on the screen: one item per album, drawn from what the page hands it
// (cover, name, description, marks, times), the selected item drawn expanded with its six
// buttons. Clicks, keys and the buttons go back to the page; the list knows nothing of albums.
// The Qt window draws a scrolling list; the tests keep the items in a table.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "model/image_ptr.h"

namespace zerva {

// The buttons of the expanded item, in hit-test order.
enum class AlbumButton { kEdit, kDelete, kAddPhotos, kSend, kFolder, kWeb };
inline constexpr int kAlbumButtonCount = 6;

struct AlbumItemButton {
  std::string caption;
  std::string tooltip;  // translated; empty: none
  bool shown = true;
  bool enabled = true;
};

// What one item shows; every text is translated.
struct AlbumsListItem {
  int albumId = 0;
  std::string name;
  std::string description;
  // "AlbumHiddenText" and "AlbumPassText" when they apply, else empty.
  std::string hiddenMark;
  std::string passwordMark;
  std::string created;
  std::string createdTooltip;
  std::string updated;
  std::string updatedTooltip;
  // The small cover of a collapsed item and the large one of the expanded item; null: none
  // (yet). The expanded item falls back on the small one.
  ImagePtr cover;
  ImagePtr largeCover;
  std::array<AlbumItemButton, kAlbumButtonCount> buttons;

  const AlbumItemButton& Button(AlbumButton button) const {
    return buttons[static_cast<size_t>(button)];
  }
  AlbumItemButton& Button(AlbumButton button) { return buttons[static_cast<size_t>(button)]; }
};

// What the list hears from the screen; the page implements it. Indexes are 0-based.
class AlbumsListEvents {
 public:
  virtual ~AlbumsListEvents() = default;
  // The user selected the item (a click, the arrow keys).
  virtual void OnItemSelected(int index) = 0;
  // A double click, or Enter on the selected item.
  virtual void OnItemOpened(int index) = 0;
  virtual void OnItemButton(int index, AlbumButton button) = 0;
  // The Delete key on the selected item.
  virtual void OnDeleteKey(int index) = 0;
  // A letter or digit typed in the list (UTF-8, one character).
  virtual void OnCharacterTyped(const std::string& character) = 0;
  // The item was drawn without its cover: the page may ask for it before the others.
  virtual void OnCoverWanted(int index) = 0;
};

class AlbumsListView {
 public:
  virtual ~AlbumsListView() = default;

  // Where the user's actions go; null: nowhere.
  virtual void SetEvents(AlbumsListEvents* events) = 0;
  // Replaces every item; the expanded item is then none until SetExpanded.
  virtual void SetItems(std::vector<AlbumsListItem> items) = 0;
  // Replaces one item and draws it anew when it is visible.
  virtual void SetItem(int index, AlbumsListItem item) = 0;
  // The selected item, drawn expanded; -1: none.
  virtual void SetExpanded(int index) = 0;
  virtual int Expanded() const = 0;
  // Scrolls so that the item is wholly visible.
  virtual void EnsureVisible(int index) = 0;
};

}  // namespace zerva
