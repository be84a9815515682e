// Controls without a window: every value is kept in a table. For pages and forms run without a
// person (zerva-cli) and for checks of the form builder.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "ui/page_view.h"

namespace zerva {

class TablePageView : public PageView {
 public:
  void SetText(int control, const std::string& text) override { texts_[control] = text; }
  std::string GetText(int control) const override;
  void SetChecked(int control, bool checked) override { checks_[control] = checked; }
  bool IsChecked(int control) const override;
  void Show(int /*control*/, bool /*shown*/) override {}
  void Enable(int control, bool enabled) override { enabled_[control] = enabled; }
  bool IsEnabled(int control) const;
  void Focus(int /*control*/) override {}
  void SetTooltip(int /*control*/, const std::string& /*text*/) override {}
  void SetItems(int control, const std::vector<std::string>& items) override;
  const std::vector<std::string>& Items(int control) const;
  int Selected(int control) const override;
  void Select(int control, int index) override;
  void SetImages(int /*control*/, const std::vector<std::string>& /*paths*/) override {}
  void StartTimer(int /*timer*/, int /*milliseconds*/) override {}
  void StopTimer(int /*timer*/) override {}
  int ShowPopupMenu(int /*anchor*/, const PopupMenu& /*menu*/) override { return -1; }
  void SetValue(int control, int value) override { values_[control] = value; }
  int GetValue(int control) const override;

 private:
  std::map<int, std::string> texts_;
  std::map<int, bool> checks_;
  std::map<int, bool> enabled_;
  std::map<int, std::vector<std::string>> items_;
  std::map<int, int> selected_;
  std::map<int, int> values_;
};

}  // namespace zerva
