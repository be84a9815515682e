#include "session/login_refusal.h"

#include "app/profile.h"
#include "app/text_placeholders.h"
#include "lang/text.h"

namespace zerva {

std::string NoMultipleLoginMessage(const std::string& loginName) {
  std::string account = AppProfile().GetProfileString(loginName, profile_keys::kLogin);
  if (account.empty()) account = loginName;
  return FillTextPlaceholders(Text("msgNoMultipleLogin"), {account});
}

}  // namespace zerva
