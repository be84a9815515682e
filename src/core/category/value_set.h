// The values of a category's property form as the service receives them:
// "<valueSet><item><key>..</key><value>..</value></item>...</valueSet>", keys in byte order.
#pragma once

#include <map>
#include <string>
#include <string_view>

namespace zerva {

using ValueSet = std::map<std::string, std::string>;

std::string WriteValueSet(const ValueSet& values);
// Items with an empty key are skipped; a later key replaces an earlier one.
ValueSet ParseValueSet(std::string_view text);
// Every entry of `update` copied over `remembered`; returns the merged text.
std::string MergeValueSets(std::string_view remembered, std::string_view update);

}  // namespace zerva
