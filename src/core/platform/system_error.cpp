#include "platform/system_error.h"

#include <cerrno>
#include <cstring>

namespace zerva {

std::string WindowsErrorText(int code) {
  if (code == 0) code = errno;
  char buffer[256];
  // GNU strerror_r returns the text, which may or may not be the buffer.
  const char* text = ::strerror_r(code, buffer, sizeof buffer);
  if (text == nullptr || *text == '\0' || std::strncmp(text, "Unknown error", 13) == 0) {
    return "Unknown Windows Error";
  }
  return std::to_string(code) + " - " + text;
}

}  // namespace zerva
