// The property form is built from whatever the service describes: any text must give a form
// whose controls have distinct numbers, that can be filled and collected, and whose collected
// values name only the form's own keys.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "category/category_tree.h"
#include "category/property_item.h"
#include "category/value_set.h"
#include "ui/category_form.h"
#include "ui/table_page_view.h"

namespace {

class Window : public zerva::CategoryFormView {
 public:
  explicit Window(std::string_view fill) : fill_(fill) {}
  zerva::PageView& Controls() override { return controls_; }
  void Build(const std::string&, const std::vector<zerva::FormControl>& entries) override {
    std::set<int> ids;
    for (const zerva::FormControl& entry : entries) {
      if (!ids.insert(entry.id).second) std::abort();
      if (entry.group != 0 && ids.count(entry.group) == 0) std::abort();
    }
    entries_ = entries;
  }
  void SetFramed(int, bool) override {}
  int FocusedControl() const override { return focus_; }
  bool RunModal(zerva::CategoryFormEvents& events) override {
    // The user agrees, types a piece of the input into every field and picks the last choice.
    controls_.SetChecked(zerva::kFormAgreement, true);
    events.OnEdited(zerva::kFormAgreement);
    size_t offset = 0;
    for (const zerva::FormControl& entry : entries_) {
      focus_ = entry.id;
      events.OnFocus(entry.id, true);
      if (entry.kind == zerva::FormControlKind::kEdit ||
          entry.kind == zerva::FormControlKind::kMultiEdit) {
        // The value set carries its texts unescaped, so typed markup could pass for an item of
        // its own; what a user types here holds none.
        std::string piece(fill_.substr(std::min(offset, fill_.size()), 16));
        std::replace(piece.begin(), piece.end(), '<', '_');
        offset += 16;
        controls_.SetText(entry.id, piece);
      } else if (entry.kind == zerva::FormControlKind::kCombo) {
        controls_.Select(entry.id, static_cast<int>(controls_.Items(entry.id).size()) - 1);
      }
      events.OnEdited(entry.id);
      events.OnFocus(entry.id, false);
      events.OnTimer(zerva::kFormValidateTimer);
    }
    focus_ = 0;
    events.OnCommand(zerva::kFormOk);
    return ok_;
  }
  void Close(bool ok) override { ok_ = ok; }

 private:
  std::string_view fill_;
  zerva::TablePageView controls_;
  std::vector<zerva::FormControl> entries_;
  int focus_ = 0;
  bool ok_ = false;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const zerva::PropertyItems items = zerva::ParsePropertyItems(text);
  zerva::CCategoryInfo info;
  info.subCategories = std::string(text.substr(0, 512));
  info.url = "https://example.com/";

  for (const int id : {4, zerva::kFloodCategoryId}) {
    zerva::CategoryFormContext context;
    context.categoryId = id;
    context.info = &info;
    context.items = id == 4 ? &items : nullptr;
    context.valueSet = std::string(text.substr(0, 1024));
    context.albumName = "Album";
    std::unique_ptr<zerva::CategoryDlg> form = zerva::CreateCategoryDialog(context);
    Window window(text);
    if (!form->Run(window)) continue;
    std::set<std::string> keys;
    bool keyHoldsMarkup = false;
    for (const zerva::PropertyItem& item : items) {
      keys.insert(item.key);
      keyHoldsMarkup = keyHoldsMarkup || item.key.find('<') != std::string::npos;
    }
    // A key holding markup cannot be told from the text around it, nor from the items it
    // seems to open.
    if (id == 4 && !items.empty() && !keyHoldsMarkup) {
      for (const auto& [key, value] : zerva::ParseValueSet(form->Result())) {
        if (keys.count(key) == 0) std::abort();
      }
    }
  }
  return 0;
}
