// One category of the service's tree, as GetCategory describes it.
#pragma once

#include <string>
#include <string_view>

#include "category/property_item.h"

namespace zerva {

// The category that always gets the flood-report form.
inline constexpr int kFloodCategoryId = 105;

class CCategoryInfo {
 public:
  std::string name;  // display name: "_" as blanks, "*" in front for a partner's category
  int parentID = 0;  // 0 or less: top level
  int partnerID = 0;
  int needInfo = 0;  // not 0: adding the category asks for a property form
  int sendOriginal = 0;
  int sendHiRes = 0;
  std::string subCategories;    // as received; the flood form reads its `subCategory` elements
  std::string url;              // opened by the category link button of the forms
  std::string caption;          // that button's text
  std::string description;      // its tooltip
  bool readOnly = false;        // the user can neither add nor remove the category
  PropertyItems propertyItems;  // empty: the category describes no form of its own
};

// The `category` element's content read into a record; `index` gets the identifier.
CCategoryInfo ReadCategoryInfo(std::string_view text, int* index);

// "*" first for a partner's category, then every "_" as a blank.
std::string CategoryDisplayName(std::string_view name, int partnerID);

}  // namespace zerva
