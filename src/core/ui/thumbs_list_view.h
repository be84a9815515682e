// The thumbnail list on the screen: one square tile per album item, drawn from what the list's
// controller says of each position, and the user's clicks, keys, drags and dropped files passed
// back to it. The Qt window draws an icon view; zerva-cli has none.
#pragma once

#include <string>
#include <vector>

#include "model/image_ptr.h"
#include "ui/page_view.h"

namespace zerva {

// The small icons on a tile that a click can hit.
enum class TileIcon { kNone, kTurnLeft, kTurnRight, kInclude, kCover, kPlay };

// Keys the list passes on.
enum class TileKey { kEnter, kSpace };

// Frame colours of a tile: changed items (to be sent again) and the rest.
inline constexpr int kTileFrameChanged = 0xE37F7F;
inline constexpr int kTileFrameNormal = 0x808080;

// What one tile shows.
struct TileInfo {
  // The thumbnail, or the EXIF thumbnail while it is missing; null: `stateText` is shown.
  ImagePtr image;
  std::string name;
  // "msgWait" or "msgError" as text, while there is no picture.
  std::string stateText;
  int frameRgb = kTileFrameNormal;
  bool included = true;
  bool isCover = false;
  bool isVideo = false;
  // Which icons the tile offers.
  bool canTurn = false;
  bool canPlay = false;
};

// What the list hears from the screen; the controller implements it. Positions are 0-based.
class ThumbsListEvents {
 public:
  virtual ~ThumbsListEvents() = default;
  // What the tile at `position` shows; asked whenever it is drawn. Queues the item's thumbnail
  // when it has none yet.
  virtual TileInfo Tile(int position) = 0;
  // The tooltip of the tile's icon (kNone: of the tile itself); empty: none.
  virtual std::string TileTooltip(int position, TileIcon icon) = 0;
  virtual void OnTileClicked(int position, TileIcon icon) = 0;
  virtual void OnTileDoubleClicked(int position, TileIcon icon) = 0;
  // The current tile changed (a click, the keyboard); -1 for none.
  virtual void OnCurrentChanged(int position) = 0;
  virtual void OnKey(int position, TileKey key) = 0;
  // A right click on a tile: the controller shows the context menu through the view.
  virtual void OnContextMenu(int position) = 0;
  // A tile dragged from `from` and released so that it lands at `to` (0..count-1).
  virtual void OnDragged(int from, int to) = 0;
  // Files dropped on the list from the desktop's file manager.
  virtual void OnFilesDropped(const std::vector<std::string>& paths) = 0;
};

class ThumbsListView {
 public:
  virtual ~ThumbsListView() = default;

  // Where the user's actions go; null: nowhere.
  virtual void SetEvents(ThumbsListEvents* events) = 0;
  // Tiles of `thumbSize` pixels in cells `spacing` pixels apart in both directions.
  virtual void SetTileSize(int thumbSize, int spacing) = 0;
  // `count` tiles, each drawn from Tile(position); an empty list for 0.
  virtual void SetTileCount(int count) = 0;
  virtual void RedrawTile(int position) = 0;
  virtual void RedrawAll() = 0;
  // The current tile, -1 for none.
  virtual int CurrentPosition() const = 0;
  // Makes the tile current and selected (-1: none) and scrolls it into view.
  virtual void SetCurrentPosition(int position) = 0;
  virtual void EnsureVisible(int position) = 0;
  // Shows the context menu at the mouse and waits; the chosen entry's command, or -1.
  virtual int ShowContextMenu(const std::vector<MenuEntry>& entries) = 0;
  // The properties window of an item: its title and its text, lines separated by "\r\n".
  virtual void ShowProperties(const std::string& title, const std::string& text) = 0;
};

}  // namespace zerva
