// The service's category tree, loaded at sign-in.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "category/category_info.h"

namespace zerva {

class CHttpConnect;

// A category's property form: its own items, or its parent's when it has none.
struct CategoryForm {
  const CCategoryInfo* info = nullptr;   // none for an unknown identifier
  const PropertyItems* items = nullptr;  // none when neither describes a form
};

class CategoryInfoMap {
 public:
  // GetCategory with the user's credentials and `userLang`, then Parse. False (and an empty
  // tree) when the call fails or the answer holds no category.
  bool LoadCategories(CHttpConnect& connection, const std::string& userName,
                      const std::string& userPass, int userId, int userLang);
  // Rebuilds the tree from a GetCategory value; true when it holds at least one category.
  bool Parse(std::string_view value);
  void Clear();

  const CCategoryInfo* GetCategoryInfo(int id) const;  // none for id <= 0 or unknown
  CategoryForm GetCategoryForm(int id) const;
  // Identifiers in answer order; menus are built in this order.
  const std::vector<int>& LoadOrder() const { return loadOrder_; }
  // Every identifier some category names as its parent.
  const std::set<int>& ParentSet() const { return parentSet_; }
  bool Empty() const { return categories_.empty(); }

 private:
  std::map<int, std::unique_ptr<CCategoryInfo>> categories_;
  std::vector<int> loadOrder_;
  std::set<int> parentSet_;
};

}  // namespace zerva
