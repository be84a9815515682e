#include "cli/cli_verbs.h"

#include <algorithm>
#include <cstdlib>

#include "app/elements.h"
#include "app/profile.h"
#include "app/text_utils.h"
#include "cli/album_listing.h"
#include "cli/cli_credentials.h"
#include "cli/cli_status.h"
#include "cli/upload_verbs.h"
#include "lang/text.h"
#include "net/bug_report.h"
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

int Albums(CliContext& context) {
  CzervaApp& app = *context.app;
  const SortState& sort = app.Session().AlbumSort();
  // Without --sort the order last chosen in the window; an explicit key sorts ascending.
  const int key = context.args.sortKey.value_or(sort.Key());
  const bool ascending =
      context.args.ascending.value_or(context.args.sortKey ? true : sort.Direction() != 0);
  for (const CAlbum* album : SortedAlbums(app.AlbumMngr(), key, ascending)) {
    std::fprintf(context.out, "%s\n", AlbumLine(*album).c_str());
  }
  return kExitOk;
}

int Delete(CliContext& context) {
  CzervaApp& app = *context.app;
  const int albumId = std::atoi(context.args.operands[0].c_str());
  CAlbumMngr& albums = app.AlbumMngr();
  const CAlbum* album = albums.FindById(albumId);
  if (album == nullptr) {
    std::fprintf(context.err, "zerva-cli: %s has no album %d\n", app.Session().Name().c_str(),
                 albumId);
    return kExitNotFound;
  }
  std::fprintf(context.err, "Album %d: %s\n", albumId,
               FlattenLines(HtmlToText(album->name)).c_str());
  if (app.MessageBox(Text("AlbumsDlgDelete"), MessageKind::kWarning, MessageButtons::kYesNo) !=
      Reply::kYes) {
    std::fprintf(context.err, "Nothing was deleted.\n");
    return kExitDeclined;
  }
  CUserSession& session = app.Session();
  const SessionCredentials credentials = session.Credentials();
  app.ShowWaitMessage(Text("msgDeletingAlbum"), Text("msgInfo"));
  const ApiResult result =
      app.MainConnection()->DeleteAlbum(credentials.name, credentials.passwordDigest, albumId);
  app.HideWaitMessage();
  if (!result.Ok()) {
    app.MessageBox(ServiceErrorText(Text("msgDeletingAlbumError"), result.message),
                   MessageKind::kError);
    return kExitFailed;
  }
  session.MutableDetails().usedSize = static_cast<int>(GetElementInt(result.value, "usedSize"));
  std::erase_if(albums.albums, [albumId](const auto& entry) { return entry->albumID == albumId; });
  albums.DropCover(albumId, false);
  albums.DropCover(albumId, true);
  if (app.CurrentAlbumId() == albumId) app.SetCurrentAlbumId(0);
  std::fprintf(context.out, "Deleted album %d\n", albumId);
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
      return Albums(context);
    case Verb::kDelete:
      return Delete(context);
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
