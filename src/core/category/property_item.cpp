#include "category/property_item.h"

#include <algorithm>

#include "app/elements.h"

namespace zerva {
namespace {

// A form field has a handful of properties and at most six validators. The bound keeps a
// hostile answer from making each list cost its length times the number of its children.
constexpr int kMaxChildElements = 64;

}  // namespace

std::map<std::string, std::string> ReadChildElements(std::string_view text) {
  std::map<std::string, std::string> children;
  std::string_view rest = text;
  for (int count = 0; count < kMaxChildElements; ++count) {
    const size_t open = rest.find('<');
    const size_t close = rest.find('>');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open + 2) {
      break;
    }
    const std::string name(rest.substr(open + 1, close - open - 1));
    std::string value = GetElement(rest, name);
    if (value.empty()) break;
    // The content is taken to follow the opening tag directly.
    const size_t next = close + 1 + value.size() + name.size() + 3;
    children.emplace(name, std::move(value));
    rest.remove_prefix(std::min(next, rest.size()));
  }
  return children;
}

PropertyItems ParsePropertyItems(std::string_view text) {
  PropertyItems items;
  for (const std::string& element : GetElements(text, "item")) {
    PropertyItem item;
    item.key = GetElement(element, "key");
    item.type = GetElement(element, "type");
    item.name = GetElement(element, "name");
    if (item.key.empty() || item.type.empty() || item.name.empty()) continue;
    item.description = GetElement(element, "description");
    item.properties = ReadChildElements(GetElement(element, "properties"));
    // The map orders the validators by element name, which is the order they are checked in.
    for (const auto& [name, content] : ReadChildElements(GetElement(element, "validators"))) {
      if (std::optional<Validator> validator = MakeValidator(name, content, item.type)) {
        item.validators.push_back(std::move(*validator));
      }
    }
    items.push_back(std::move(item));
  }
  return items;
}

std::string ItemProperty(const PropertyItem& item, const std::string& name) {
  const auto it = item.properties.find(name);
  return it == item.properties.end() ? std::string() : it->second;
}

std::vector<std::string> SelectChoices(const PropertyItem& item) {
  return GetElements(ItemProperty(item, "items"), "item");
}

bool CheckValue(const PropertyItem& item, std::string_view value, std::string* message) {
  for (const Validator& validator : item.validators) {
    if (!ValidatorPasses(validator, value)) {
      if (message != nullptr) *message = validator.message;
      return false;
    }
  }
  return true;
}

}  // namespace zerva
