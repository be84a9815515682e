#include "ui/sign_in.h"

#include "app/credentials.h"
#include "app/trace.h"
#include "lang/text.h"
#include "platform/login_lock.h"
#include "session/language_switch.h"
#include "session/login_refusal.h"
#include "ui/album_list_load.h"
#include "ui/zerva_app.h"

namespace zerva {

SignInResult SignIn(CzervaApp& app, const std::string& loginName, const std::string& passwordDigest,
                    const std::function<void()>& reloadTexts) {
  CUserSession& session = app.Session();
  SignInResult result;
  if (session.IsSignedIn()) {
    result.status = SignInStatus::kSignedIn;
    return result;
  }
  const std::string name = TrimLoginName(loginName);
  if (session.LockLogin(name)) {
    result.status = SignInStatus::kLockedElsewhere;
    result.message = NoMultipleLoginMessage(name);
    // The other copy brings its window to the front, so the user sees where it runs.
    RequestRaise(name);
    return result;
  }

  app.ShowWaitMessage(Text("msgLoginText"), Text("msgLoginTitle"));
  const bool signedIn = session.Login(name, passwordDigest);
  app.HideWaitMessage();
  if (!signedIn) {
    // A sign-in that failed after the service accepted it (the category tree did not load)
    // leaves the session filled; without this a second try would find it "signed in" and do
    // nothing, and the account would stay locked.
    if (session.IsSignedIn()) session.MarkSignedOut();
    session.ReleaseLoginLock();
    result.status = SignInStatus::kRefused;
    result.message = session.LastError();
    return result;
  }

  CHttpConnect* connection = app.MainConnection();
  if (connection != nullptr) {
    SwitchLanguageAfterSignIn(app.Lang(), *connection, app.AppDialogs(), session.Details().lang,
                              reloadTexts);
  }
  app.OnSignedIn();
  if (!LoadAlbumList(app)) {
    session.MarkSignedOut();
    result.status = SignInStatus::kAlbumListAbandoned;
    result.message = session.LastError();
    return result;
  }
  TraceText(kTraceNotice, "SignIn: signed in as " + session.Name());
  result.status = SignInStatus::kSignedIn;
  return result;
}

}  // namespace zerva
