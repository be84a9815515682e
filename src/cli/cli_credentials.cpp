#include "cli/cli_credentials.h"

#include "app/cmd_line_info.h"
#include "app/credentials.h"
#include "app/history_list.h"
#include "app/profile.h"

namespace zerva::cli {
namespace {

constexpr const char* kRememberHint =
    "give -usr NAME -pwd PASSWORD, or remember them with "
    "'zerva-cli -usr NAME -pwd PASSWORD login --remember'";

}  // namespace

bool ResolveCredentials(const CmdLineInfo& commandLine, const Profile& profile,
                        CliCredentials* credentials, std::string* error) {
  using namespace profile_keys;
  const std::string rememberedName = TrimLoginName(profile.GetProfileString(kSetup, kEmail));
  std::string rememberedDigest = profile.GetProfileString(kSetup, kPass);
  // Anything else in the entry is a damaged profile, not a password.
  if (!IsPasswordDigest(rememberedDigest)) rememberedDigest.clear();

  const std::string name = TrimLoginName(commandLine.UserName());
  const std::string& password = commandLine.Password();
  *credentials = CliCredentials();
  if (!name.empty() && !password.empty()) {
    *credentials = {name, PasswordDigest(password), true};
    return true;
  }
  if (!password.empty()) {
    if (rememberedName.empty()) {
      *error = "no user name: give -usr NAME";
      return false;
    }
    *credentials = {rememberedName, PasswordDigest(password), false};
    return true;
  }
  if (!name.empty()) {
    if (name != rememberedName || rememberedDigest.empty()) {
      *error = "no password for " + name + ": " + kRememberHint;
      return false;
    }
    *credentials = {name, rememberedDigest, false};
    return true;
  }
  if (rememberedName.empty() || rememberedDigest.empty()) {
    *error = std::string("no account to sign in with: ") + kRememberHint;
    return false;
  }
  *credentials = {rememberedName, rememberedDigest, false};
  return true;
}

bool StoreLogin(Profile& profile, const CliCredentials& credentials, bool remember) {
  using namespace profile_keys;
  bool ok = profile.WriteProfileString(kSetup, kEmail, credentials.loginName);
  ok = PushEmailHistory(profile, credentials.loginName) && ok;
  ok = profile.WriteProfileString(kSetup, kPass, remember ? credentials.passwordDigest : "") && ok;
  return ok;
}

std::string ForgetRememberedPassword(Profile& profile) {
  using namespace profile_keys;
  profile.WriteProfileString(kSetup, kPass, "");
  return profile.GetProfileString(kSetup, kEmail);
}

}  // namespace zerva::cli
