// Ordering the album's items by name, title, date or local file time.
#pragma once

#include <string>

namespace zerva {

class CAlbum;
class CPhoto;

inline constexpr int kSortByFileName = 0;
inline constexpr int kSortByName = 1;
inline constexpr int kSortByDate = 2;
inline constexpr int kSortByFileTime = 3;  // and every other key

// The date sorted by: the video's date or the EXIF date, else the time the item was prepared.
std::string ItemSortDate(const CPhoto& item);
// Keys 0 to 2 compare texts ignoring case (negated with `ascending`); other keys give 1 when
// p's local file time is at least q's (q's at least p's with `ascending`), else 0.
int Compare(const CPhoto& p, const CPhoto& q, int key, bool ascending);
// Rebuilds the list by insertion: each item goes before the first placed item it compares
// positive with. Renumbers the items and marks the album modified.
bool SortItems(CAlbum& album, int key, bool ascending);

}  // namespace zerva
