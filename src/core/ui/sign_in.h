// Signing a user in from the application: the one-sign-in-per-account lock, the session's
// sign-in under the wait popup, the switch to the user's language, the album list, and the
// albums' environment. The login page and the command line both sign in through it.
#pragma once

#include <functional>
#include <string>

namespace zerva {

class CzervaApp;

enum class SignInStatus {
  kSignedIn,
  kLockedElsewhere,     // another running copy has signed in as this user
  kRefused,             // the service refused, or the session could not be completed
  kAlbumListAbandoned,  // the album list could not be loaded and the user gave up
};

struct SignInResult {
  SignInStatus status = SignInStatus::kRefused;
  std::string message;  // what to show for any status but kSignedIn
};

// `loginName` as typed (it is trimmed here), `passwordDigest` the password's MD5 digest.
// Nothing happens when the session is already signed in. `reloadTexts` runs when the user's
// language replaced the texts.
SignInResult SignIn(CzervaApp& app, const std::string& loginName, const std::string& passwordDigest,
                    const std::function<void()>& reloadTexts = {});

}  // namespace zerva
