#include "ui/table_page_view.h"

namespace zerva {

std::string TablePageView::GetText(int control) const {
  const auto it = texts_.find(control);
  return it == texts_.end() ? std::string() : it->second;
}

bool TablePageView::IsChecked(int control) const {
  const auto it = checks_.find(control);
  return it != checks_.end() && it->second;
}

bool TablePageView::IsEnabled(int control) const {
  const auto it = enabled_.find(control);
  return it == enabled_.end() || it->second;
}

void TablePageView::SetItems(int control, const std::vector<std::string>& items) {
  items_[control] = items;
  selected_[control] = -1;
}

const std::vector<std::string>& TablePageView::Items(int control) const {
  static const std::vector<std::string> kNone;
  const auto it = items_.find(control);
  return it == items_.end() ? kNone : it->second;
}

int TablePageView::Selected(int control) const {
  const auto it = selected_.find(control);
  return it == selected_.end() ? -1 : it->second;
}

void TablePageView::Select(int control, int index) {
  const int count = static_cast<int>(Items(control).size());
  selected_[control] = index >= 0 && index < count ? index : -1;
}

int TablePageView::GetValue(int control) const {
  const auto it = values_.find(control);
  return it == values_.end() ? 0 : it->second;
}

}  // namespace zerva
