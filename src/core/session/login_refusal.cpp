#include "session/login_refusal.h"

#include "app/profile.h"
#include "lang/text.h"

namespace zerva {

std::string FillTextPlaceholder(std::string_view format, std::string_view value) {
  std::string out;
  out.reserve(format.size() + value.size());
  bool filled = false;
  for (size_t i = 0; i < format.size(); ++i) {
    if (format[i] == '%' && i + 1 < format.size()) {
      if (format[i + 1] == '%') {
        out += '%';
        ++i;
        continue;
      }
      if (format[i + 1] == 's' && !filled) {
        out.append(value);
        filled = true;
        ++i;
        continue;
      }
    }
    out += format[i];
  }
  return out;
}

std::string NoMultipleLoginMessage(const std::string& loginName) {
  std::string account = AppProfile().GetProfileString(loginName, profile_keys::kLogin);
  if (account.empty()) account = loginName;
  return FillTextPlaceholder(Text("msgNoMultipleLogin"), account);
}

}  // namespace zerva
