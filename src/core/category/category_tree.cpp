#include "category/category_tree.h"

#include "app/elements.h"
#include "app/trace.h"
#include "net/http_connect.h"

namespace zerva {

bool CategoryInfoMap::LoadCategories(CHttpConnect& connection, const std::string& userName,
                                     const std::string& userPass, int userId, int userLang) {
  Clear();
  const ApiResult result = connection.GetCategory(userName, userPass, userId, userLang);
  if (!result.Ok() || result.value.empty()) return false;
  return Parse(result.value);
}

bool CategoryInfoMap::Parse(std::string_view value) {
  Clear();
  for (const std::string& element : GetElements(value, "category")) {
    int index = 0;
    CCategoryInfo info = ReadCategoryInfo(element, &index);
    // No album can hold such an identifier, and a repeat would show twice in the menus while
    // the first record keeps the identifier.
    if (index <= 0 || categories_.count(index) != 0) {
      Trace(kTraceWarning, 0, "GetCategory: category %d skipped\n", index);
      continue;
    }
    if (info.parentID > 0) parentSet_.insert(info.parentID);
    categories_.emplace(index, std::make_unique<CCategoryInfo>(std::move(info)));
    loadOrder_.push_back(index);
  }
  return !categories_.empty();
}

void CategoryInfoMap::Clear() {
  categories_.clear();
  loadOrder_.clear();
  parentSet_.clear();
}

const CCategoryInfo* CategoryInfoMap::GetCategoryInfo(int id) const {
  if (id <= 0) return nullptr;
  const auto it = categories_.find(id);
  return it == categories_.end() ? nullptr : it->second.get();
}

CategoryForm CategoryInfoMap::GetCategoryForm(int id) const {
  CategoryForm form;
  form.info = GetCategoryInfo(id);
  if (form.info == nullptr) return form;
  if (!form.info->propertyItems.empty()) {
    form.items = &form.info->propertyItems;
  } else if (const CCategoryInfo* parent = GetCategoryInfo(form.info->parentID);
             parent != nullptr && !parent->propertyItems.empty()) {
    form.items = &parent->propertyItems;
  }
  return form;
}

}  // namespace zerva
