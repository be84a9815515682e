#include "category/category_info.h"

#include "app/elements.h"
#include "category/validator.h"

namespace zerva {
namespace {

int ReadInt(std::string_view text, std::string_view name) {
  return NumericValueInt(GetElement(text, name));
}

}  // namespace

CCategoryInfo ReadCategoryInfo(std::string_view text, int* index) {
  CCategoryInfo info;
  *index = ReadInt(text, "index");
  info.parentID = ReadInt(text, "parentID");
  info.partnerID = ReadInt(text, "partnerID");
  info.needInfo = ReadInt(text, "needInfo");
  info.propertyItems = ParsePropertyItems(GetElement(text, "additionalInfo"));
  if (!info.propertyItems.empty()) info.needInfo = 1;
  info.sendOriginal = ReadInt(text, "sendOriginal");
  info.sendHiRes = ReadInt(text, "sendHiRes");
  info.subCategories = GetElement(text, "subCategories");
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
