#include "cli/cli_verbs.h"

#include "app/profile.h"
#include "cli/album_verbs.h"
#include "cli/cli_credentials.h"
#include "cli/cli_status.h"
#include "cli/upload_verbs.h"
#include "lang/text.h"
#include "ui/sign_in.h"
#include "ui/zerva_app.h"

namespace zerva::cli {
namespace {

int SignInFor(CliContext& context, CliCredentials* credentials) {
  CzervaApp& app = *context.app;
  std::string error;
  if (!ResolveCredentials(app.CommandLine(), AppProfile(), credentials, &error)) {
    std::fprintf(context.err, "zerva-cli: %s\n", error.c_str());
    return kExitSignIn;
  }
  const SignInResult result = SignIn(app, credentials->loginName, credentials->passwordDigest);
  switch (result.status) {
    case SignInStatus::kSignedIn:
      return kExitOk;
    case SignInStatus::kLockedElsewhere:
    case SignInStatus::kRefused:
      app.MessageBox(result.message, MessageKind::kError);
      return kExitSignIn;
    case SignInStatus::kAlbumListAbandoned:
      app.MessageBox(result.message.empty() ? Text("msgLoadingErrorRetry") : result.message,
                     MessageKind::kError);
      return kExitFailed;
  }
  return kExitFailed;
}

int Login(CliContext& context, const CliCredentials& credentials) {
  CzervaApp& app = *context.app;
  if (credentials.fromCommandLine) {
    if (!StoreLogin(AppProfile(), credentials, context.args.remember)) {
      std::fprintf(context.err, "zerva-cli: the login could not be stored in %s\n",
                   AppProfile().Path().c_str());
      return kExitFailed;
    }
  } else if (context.args.remember) {
    std::fprintf(context.err, "zerva-cli: --remember needs -usr and -pwd; nothing stored\n");
  }
  std::fprintf(context.out, "Signed in as %s: %zu albums\n", app.Session().Name().c_str(),
               app.AlbumMngr().albums.size());
  return kExitOk;
}

}  // namespace

int RunServiceVerb(CliContext& context) {
  CliCredentials credentials;
  const int signIn = SignInFor(context, &credentials);
  if (signIn != kExitOk) return signIn;
  switch (context.args.verb) {
    case Verb::kLogin:
      return Login(context, credentials);
    case Verb::kAlbums:
      return RunAlbums(context);
    case Verb::kDelete:
      return RunDelete(context);
    case Verb::kSend:
      return RunSend(context);
    case Verb::kOpen:
      return RunOpen(context);
    case Verb::kBanners:
      return RunBanners(context);
    case Verb::kUpload:
      return RunUploadFolder(context, context.args.operands[0], context.args.albumName);
    case Verb::kNone:
      return RunUnattendedUpload(context);
    case Verb::kLogout:
    case Verb::kPrepare:
      break;
  }
  return kExitUsage;
}

int RunLogout(CliContext& context) {
  const std::string name = ForgetRememberedPassword(AppProfile());
  if (name.empty()) {
    std::fprintf(context.out, "No login was remembered\n");
  } else {
    std::fprintf(context.out, "The remembered password of %s is forgotten\n", name.c_str());
  }
  return kExitOk;
}

}  // namespace zerva::cli
