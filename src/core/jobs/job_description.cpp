#include "jobs/job_description.h"

namespace zerva {

std::string FillJobText(std::string_view format, const std::vector<std::string>& values) {
  std::string text;
  size_t next = 0;
  for (size_t i = 0; i < format.size(); ++i) {
    const char c = format[i];
    const char following = i + 1 < format.size() ? format[i + 1] : '\0';
    if (c == '%' && (following == 's' || following == 'd')) {
      if (next < values.size()) text += values[next];
      ++next;
      ++i;
    } else if (c == '%' && following == '%') {
      text += '%';
      ++i;
    } else {
      text += c;
    }
  }
  return text;
}

}  // namespace zerva
