// The fields of a category's property form (the `additionalInfo` of GetCategory): one item per
// field with its kind, label, display properties and validators.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "category/validator.h"

namespace zerva {

struct PropertyItem {
  std::string key;   // of the value in the value set
  std::string type;  // "string", "int", "select", "bool" or "dateTime"
  std::string name;  // the label
  std::string description;
  // "groupName", "multiline", "initialValue", "items" (the choices of a "select").
  std::map<std::string, std::string> properties;
  // In the order of their element names: maxLength, maxValue, minLength, minValue, regex,
  // require.
  std::vector<Validator> validators;
};

using PropertyItems = std::vector<PropertyItem>;

// The valid `item` elements of the text, in order (key, type and name all non-empty); invalid
// items and validators are dropped silently.
PropertyItems ParsePropertyItems(std::string_view text);

// A run of sibling elements read as name -> content. Reading stops at the first element that is
// empty or cannot be read; a repeated name keeps its first content.
std::map<std::string, std::string> ReadChildElements(std::string_view text);

// The property of that name, empty when absent.
std::string ItemProperty(const PropertyItem& item, const std::string& name);
// The choices of a "select" item: the `item` elements of its "items" property, in order.
std::vector<std::string> SelectChoices(const PropertyItem& item);

// Runs the item's validators in order; the first that fails gives its message and false.
// `message` is left alone when the value passes.
bool CheckValue(const PropertyItem& item, std::string_view value, std::string* message);

}  // namespace zerva
