#include "category/value_set.h"

#include "app/elements.h"

namespace zerva {

std::string WriteValueSet(const ValueSet& values) {
  std::string out = "<valueSet>";
  for (const auto& [key, value] : values) {
    out += "<item>";
    out += MakeElement("key", key);
    out += MakeElement("value", value);
    out += "</item>";
  }
  out += "</valueSet>";
  return out;
}

ValueSet ParseValueSet(std::string_view text) {
  ValueSet values;
  const std::string content = GetElement(text, "valueSet");
  for (const std::string& item : GetElements(content, "item")) {
    std::string key = GetElement(item, "key");
    if (key.empty()) continue;
    values[std::move(key)] = GetElement(item, "value");
  }
  return values;
}

std::string MergeValueSets(std::string_view remembered, std::string_view update) {
  ValueSet merged = ParseValueSet(remembered);
  for (auto& [key, value] : ParseValueSet(update)) merged[key] = std::move(value);
  return WriteValueSet(merged);
}

}  // namespace zerva
