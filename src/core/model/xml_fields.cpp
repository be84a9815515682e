#include "model/xml_fields.h"

#include <cstdint>

#include "app/elements.h"
#include "app/text_utils.h"

namespace zerva {

int ElementInt32(std::string_view text, std::string_view name) {
  const int64_t value = GetElementInt(text, name);
  if (value > INT32_MAX || value < INT32_MIN) return 0;
  return static_cast<int>(value);
}

std::string ElementPlainText(std::string_view text, std::string_view name) {
  std::string value = GetElement(text, name);
  value = ReplaceAll(value, "&lt;", "<");
  value = ReplaceAll(value, "&gt;", ">");
  value = ReplaceAll(value, "&amp;", "&");
  value = ReplaceAll(value, "&quot;", "\"");
  value = ReplaceAll(value, "&nbsp;", " ");
  return ReplaceAll(value, "\r\n", "\n");
}

}  // namespace zerva
