// The sort states the session keeps for the album views and the user's web page.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace zerva {

// A current key with its direction (1 ascending, 0 descending) and, per key of the range, the
// direction last chosen for it.
class SortState {
 public:
  // Keys firstKey..lastKey; `defaultKey` may lie outside the range (the web page order's
  // "none").
  SortState(int firstKey, int lastKey, int defaultKey, int defaultDirection);

  // Back to the default key and direction; every per-key direction 0.
  void Reset();
  // Makes (key, direction) current and records the direction for the key. A key that is
  // neither in the range nor the default one (a stored value gone bad) selects the default
  // key; any non-zero direction counts as 1.
  void Set(int key, int direction);

  int Key() const { return key_; }
  int Direction() const { return direction_; }
  // 0 for keys outside the range.
  int LastDirection(int key) const;

 private:
  int firstKey_, lastKey_, defaultKey_, defaultDirection_;
  int key_, direction_;
  std::map<int, int> lastDirections_;
};

// The album list (keys 0..6, default 0 ascending), the second view (0..3, default 3
// descending) and the web page order (101..105, default 100 "none" ascending).
SortState MakeAlbumListSort();
SortState MakeSecondSort();
SortState MakePageOrder();

inline constexpr int kPageOrderNone = 100;

// "createDate", "viewCount", "albumName", "date", "lastComment" for 101..105; empty otherwise.
std::string PageOrderKeyName(int key);
// The key's name followed by "Asc" (direction 1) or "Desc" (0); empty for "none".
std::string PageOrderText(const SortState& order);
// Sets key and direction from such a text (exact, case-sensitive); any other text selects
// "none" ascending.
void ParsePageOrder(std::string_view text, SortState* order);

}  // namespace zerva
