#include "model/photo_sort.h"

#include <cstdint>
#include <memory>
#include <vector>

#include "app/text_utils.h"
#include "model/album.h"
#include "model/text_compare.h"

namespace zerva {
namespace {

// The value an item is sorted by, computed once per sort: a file time costs a system call.
struct SortValue {
  std::string text;
  int64_t time = 0;
};

SortValue ValueOf(const CPhoto& item, int key) {
  switch (key) {
    case kSortByFileName:
      return {item.fileName, 0};
    case kSortByName:
      return {item.name, 0};
    case kSortByDate:
      return {ItemSortDate(item), 0};
    default:
      return {{}, item.LocalFileTime()};
  }
}

int CompareValues(const SortValue& p, const SortValue& q, int key, bool ascending) {
  if (key >= kSortByFileName && key <= kSortByDate) {
    const int r = CompareNoCase(p.text, q.text);
    const int sign = r < 0 ? -1 : (r > 0 ? 1 : 0);
    return ascending ? -sign : sign;
  }
  if (ascending) return q.time >= p.time ? 1 : 0;
  return p.time >= q.time ? 1 : 0;
}

}  // namespace

std::string ItemSortDate(const CPhoto& item) {
  const std::string& date = item.isVideo ? item.video.dateTime : item.DateTime;
  if (!date.empty() && date[0] != '0') return date;
  return FormatFileTime(item.OriginalCode);
}

int Compare(const CPhoto& p, const CPhoto& q, int key, bool ascending) {
  return CompareValues(ValueOf(p, key), ValueOf(q, key), key, ascending);
}

bool SortItems(CAlbum& album, int key, bool ascending) {
  struct Entry {
    std::unique_ptr<CPhoto> item;
    SortValue value;
  };
  std::vector<Entry> placed;
  placed.reserve(album.items.size());
  for (auto& item : album.items) {
    SortValue value = ValueOf(*item, key);
    size_t at = 0;
    while (at < placed.size() && CompareValues(value, placed[at].value, key, ascending) <= 0) ++at;
    placed.insert(placed.begin() + static_cast<std::ptrdiff_t>(at),
                  Entry{std::move(item), std::move(value)});
  }
  album.items.clear();
  for (Entry& entry : placed) album.items.push_back(std::move(entry.item));
  album.Renumber(false);
  album.modified = true;
  return true;
}

}  // namespace zerva
