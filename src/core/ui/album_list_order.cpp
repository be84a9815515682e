#include "ui/album_list_order.h"

#include <algorithm>
#include <iterator>

#include "model/album_mngr.h"
#include "session/user_session.h"

namespace zerva {
namespace {

constexpr const char* kLocalKeyNames[] = {"name", "created", "modified", "count",
                                          "size", "from",    "to"};
constexpr int kLocalKeyCount = static_cast<int>(std::size(kLocalKeyNames));
constexpr int kFirstWebKey = 101;
constexpr int kLastWebKey = 105;

}  // namespace

std::vector<CAlbum*> SortedAlbums(const CAlbumMngr& albums, const SortState& order) {
  std::vector<CAlbum*> sorted;
  sorted.reserve(albums.albums.size());
  for (const auto& album : albums.albums) sorted.push_back(album.get());
  const bool ascending = order.Direction() != 0;
  // The list puts an album first when the comparison says so; a negative result does.
  std::stable_sort(sorted.begin(), sorted.end(), [&](const CAlbum* a, const CAlbum* b) {
    return CompareAlbums(a, b, order.Key(), ascending) < 0;
  });
  return sorted;
}

void ChooseSortKey(SortState& order, int key) {
  if (key == order.Key()) {
    order.Set(key, order.Direction() != 0 ? 0 : 1);
  } else {
    order.Set(key, order.LastDirection(key));
  }
}

std::optional<int> AlbumSortKeyFromName(std::string_view name) {
  for (int key = 0; key < kLocalKeyCount; ++key) {
    if (name == kLocalKeyNames[key]) return key;
  }
  if (name == "photos") return kAlbumSortPhotoCount;
  if (name.size() == 1 && name[0] >= '0' && name[0] < '0' + kLocalKeyCount) return name[0] - '0';
  return std::nullopt;
}

const char* AlbumSortKeyName(int key) {
  return key >= 0 && key < kLocalKeyCount ? kLocalKeyNames[key] : "";
}

std::optional<int> PageOrderKeyFromName(std::string_view name) {
  for (int key = kFirstWebKey; key <= kLastWebKey; ++key) {
    if (name == PageOrderKeyName(key)) return key;
  }
  return std::nullopt;
}

bool ChooseWebOrder(CUserSession& session, int key) {
  SortState& order = session.PageOrder();
  const SortState before = order;
  ChooseSortKey(order, key);
  if (session.SaveProfile()) return true;
  order = before;
  return false;
}

}  // namespace zerva
