#include "session/sort_state.h"

namespace zerva {
namespace {

constexpr int kFirstPageOrderKey = 101;
constexpr const char* kPageOrderNames[] = {"createDate", "viewCount", "albumName", "date",
                                           "lastComment"};
constexpr int kPageOrderKeyCount = sizeof kPageOrderNames / sizeof kPageOrderNames[0];

}  // namespace

SortState::SortState(int firstKey, int lastKey, int defaultKey, int defaultDirection)
    : firstKey_(firstKey),
      lastKey_(lastKey),
      defaultKey_(defaultKey),
      defaultDirection_(defaultDirection),
      key_(defaultKey),
      direction_(defaultDirection) {}

void SortState::Reset() {
  key_ = defaultKey_;
  direction_ = defaultDirection_;
  lastDirections_.clear();
}

void SortState::Set(int key, int direction) {
  const bool inRange = key >= firstKey_ && key <= lastKey_;
  key_ = inRange || key == defaultKey_ ? key : defaultKey_;
  direction_ = direction != 0 ? 1 : 0;
  if (key_ >= firstKey_ && key_ <= lastKey_) lastDirections_[key_] = direction_;
}

int SortState::LastDirection(int key) const {
  const auto it = lastDirections_.find(key);
  return it == lastDirections_.end() ? 0 : it->second;
}

SortState MakeAlbumListSort() {
  return SortState(0, 6, 0, 1);
}

SortState MakeSecondSort() {
  return SortState(0, 3, 3, 0);
}

SortState MakePageOrder() {
  return SortState(kFirstPageOrderKey, kFirstPageOrderKey + kPageOrderKeyCount - 1, kPageOrderNone,
                   1);
}

std::string PageOrderKeyName(int key) {
  const int index = key - kFirstPageOrderKey;
  if (index < 0 || index >= kPageOrderKeyCount) return {};
  return kPageOrderNames[index];
}

std::string PageOrderText(const SortState& order) {
  const std::string name = PageOrderKeyName(order.Key());
  if (name.empty()) return {};
  return name + (order.Direction() != 0 ? "Asc" : "Desc");
}

void ParsePageOrder(std::string_view text, SortState* order) {
  for (int index = 0; index < kPageOrderKeyCount; ++index) {
    const std::string_view name = kPageOrderNames[index];
    if (text.size() <= name.size() || text.substr(0, name.size()) != name) continue;
    const std::string_view rest = text.substr(name.size());
    if (rest == "Asc" || rest == "Desc") {
      order->Set(kFirstPageOrderKey + index, rest == "Asc" ? 1 : 0);
      return;
    }
  }
  order->Set(kPageOrderNone, 1);
}

}  // namespace zerva
