// Which account zerva-cli signs in with: -usr and -pwd, else the login remembered by
// `zerva-cli login --remember` (the profile's "setup" "email" and password digest "pass").
#pragma once

#include <string>

namespace zerva {
class CmdLineInfo;
class Profile;
}  // namespace zerva

namespace zerva::cli {

struct CliCredentials {
  std::string loginName;
  std::string passwordDigest;
  bool fromCommandLine = false;  // both came from -usr and -pwd
};

// -usr with -pwd; one of them completed from the remembered login when that is the same
// account; otherwise the remembered login. False with `error` when no password is known.
bool ResolveCredentials(const CmdLineInfo& commandLine, const Profile& profile,
                        CliCredentials* credentials, std::string* error);

// What a sign-in with typed credentials stores, as the login page does: the login name as
// "email" and in the e-mail history, and the digest as "pass" when `remember` is set (an empty
// "pass" otherwise). False when the profile could not be written.
bool StoreLogin(Profile& profile, const CliCredentials& credentials, bool remember);

// Forgets the remembered password; the remembered login name stays. Returns the login name.
std::string ForgetRememberedPassword(Profile& profile);

}  // namespace zerva::cli
