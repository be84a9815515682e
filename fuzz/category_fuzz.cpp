// The category tree, its property forms and the value sets are service answers and stored user
// settings: whatever they hold must parse without harm, and a value set read from them must
// survive being written and read again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>

#include "category/album_categories.h"
#include "category/category_tree.h"
#include "category/partners.h"
#include "category/property_item.h"
#include "category/value_set.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);

  zerva::CategoryInfoMap tree;
  const bool loaded = tree.Parse(text);
  if (loaded == tree.Empty()) std::abort();
  const std::set<int> distinct(tree.LoadOrder().begin(), tree.LoadOrder().end());
  if (distinct.size() != tree.LoadOrder().size()) std::abort();
  for (int id : tree.LoadOrder()) {
    const zerva::CCategoryInfo* info = tree.GetCategoryInfo(id);
    if (info == nullptr) std::abort();
    const zerva::CategoryForm form = tree.GetCategoryForm(id);
    if (form.info != info) std::abort();
    if (!info->propertyItems.empty() && info->needInfo != 1) std::abort();
  }
  // The same text read as an album list against the tree it gave.
  zerva::CategoryNames(text.substr(0, 256), tree);
  zerva::AlbumCategoryFlags(text.substr(0, 256), tree);

  for (const zerva::PropertyItem& item : zerva::ParsePropertyItems(text)) {
    if (item.key.empty() || item.type.empty() || item.name.empty()) std::abort();
    if (item.validators.size() > 6) std::abort();
    std::string message;
    zerva::CheckValue(item, item.description, &message);
    zerva::SelectChoices(item);
  }
  zerva::ReadChildElements(text);
  zerva::ParsePartners(text);

  // Texts are written without escaping, so only a set free of markup is sure to come back.
  const zerva::ValueSet values = zerva::ParseValueSet(text);
  bool plain = true;
  for (const auto& [key, value] : values) {
    plain = plain && key.find('<') == std::string::npos && value.find('<') == std::string::npos;
  }
  if (plain && zerva::ParseValueSet(zerva::WriteValueSet(values)) != values) std::abort();
  return 0;
}
