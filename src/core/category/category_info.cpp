#include "category/category_info.h"

#include "app/elements.h"
#include "category/validator.h"

namespace zerva {
namespace {

int ReadInt(std::string_view text, std::string_view name) {
  return NumericValueInt(GetElement(text, name));
}

// The record without the content of one of its elements. The form's items have `name` and
// `description` elements of their own, and the service writes them before the category's: the
// category's fields must not be read from inside them.
std::string Without(std::string_view text, std::string_view name) {
  const std::string open = "<" + std::string(name) + ">";
  const std::string close = "</" + std::string(name) + ">";
  const size_t begin = text.find(open);
  if (begin == std::string_view::npos) return std::string(text);
  const size_t end = text.find(close, begin + open.size());
  if (end == std::string_view::npos) return std::string(text.substr(0, begin));
  return std::string(text.substr(0, begin)) + std::string(text.substr(end + close.size()));
}

}  // namespace

CCategoryInfo ReadCategoryInfo(std::string_view record, int* index) {
  CCategoryInfo info;
  info.propertyItems = ParsePropertyItems(GetElement(record, "additionalInfo"));
  info.subCategories = GetElement(record, "subCategories");
  const std::string text = Without(Without(record, "additionalInfo"), "subCategories");
  *index = ReadInt(text, "index");
  info.parentID = ReadInt(text, "parentID");
  info.partnerID = ReadInt(text, "partnerID");
  info.needInfo = ReadInt(text, "needInfo");
  if (!info.propertyItems.empty()) info.needInfo = 1;
  info.sendOriginal = ReadInt(text, "sendOriginal");
  info.sendHiRes = ReadInt(text, "sendHiRes");
  info.url = GetElement(text, "url");
  info.caption = GetElement(text, "caption");
  info.description = GetElement(text, "description");
  const std::string readOnly = GetElement(text, "readOnly");
  info.readOnly = !readOnly.empty() && NumericValue(readOnly) != 0;
  info.name = CategoryDisplayName(GetElement(text, "name"), info.partnerID);
  return info;
}

std::string CategoryDisplayName(std::string_view name, int partnerID) {
  std::string display = partnerID > 0 ? "*" : "";
  display += name;
  for (char& c : display) {
    if (c == '_') c = ' ';
  }
  return display;
}

}  // namespace zerva
