#include "ui/category_form_windows.h"

namespace zerva {
namespace {

CategoryFormWindowMaker& Maker() {
  static CategoryFormWindowMaker maker;
  return maker;
}

}  // namespace

void SetCategoryFormWindows(CategoryFormWindowMaker maker) {
  Maker() = std::move(maker);
}

std::unique_ptr<CategoryFormView> NewCategoryFormWindow() {
  return Maker() ? Maker()() : nullptr;
}

}  // namespace zerva
