#include "app/text_placeholders.h"

namespace zerva {

std::string FillTextPlaceholders(std::string_view format, const std::vector<std::string>& values) {
  std::string out;
  out.reserve(format.size());
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (format[i + 1] == 's') {
        if (next < values.size()) out += values[next];
        ++next;
        ++i;
        continue;
      }
    }
    out += format[i];
  }
  return out;
}

}  // namespace zerva
