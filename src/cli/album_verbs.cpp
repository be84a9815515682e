#include "cli/album_verbs.h"

#include "app/text_utils.h"
#include "cli/album_listing.h"
#include "cli/cli_status.h"
#include "lang/text.h"
#include "model/album_mngr.h"
#include "net/bug_report.h"
#include "session/user_session.h"
#include "ui/album_banners.h"
#include "ui/album_delete.h"
#include "ui/album_list_order.h"
#include "ui/album_mail.h"
#include "ui/zerva_app.h"

namespace zerva::cli {
namespace {

const char* DirectionWord(int direction) {
  return direction != 0 ? "ascending" : "descending";
}

// The album the verb names, or null after saying that there is none.
const CAlbum* NamedAlbum(CliContext& context) {
  CzervaApp& app = *context.app;
  const int albumId = AlbumIdOperand(context.args);
  const CAlbum* album = app.AlbumMngr().FindById(albumId);
  if (album == nullptr) {
    std::fprintf(context.err, "zerva-cli: %s has no album %d\n", app.Session().Name().c_str(),
                 albumId);
  }
  return album;
}

std::string PlainName(const CAlbum& album) {
  return FlattenLines(HtmlToText(album.name));
}

// The web page order of --web-order, saved with the user details. A direction given sets it;
// otherwise the sort menu's rule chooses it. False when the service did not take it (the
// session's order is then as it was).
bool SaveWebOrder(CliContext& context) {
  CUserSession& session = context.app->Session();
  const int key = *context.args.webOrderKey;
  bool saved = false;
  if (context.args.webOrderAscending) {
    SortState& order = session.PageOrder();
    const SortState before = order;
    order.Set(key, *context.args.webOrderAscending ? 1 : 0);
    saved = session.SaveProfile();
    if (!saved) order = before;
  } else {
    saved = ChooseWebOrder(session, key);
  }
  if (!saved) {
    context.app->MessageBox(ServiceErrorText(Text("msgSaveError"), session.LastError()),
                            MessageKind::kError);
  }
  return saved;
}

}  // namespace

int RunAlbums(CliContext& context) {
  CzervaApp& app = *context.app;
  CUserSession& session = app.Session();
  const CliArgs& args = context.args;
  if (args.webOrderKey && !SaveWebOrder(context)) return kExitFailed;

  // Without a choice, the order last chosen in the window (or here); a choice is made as in the
  // window's sort menu, and a direction given on the command line has the last word.
  SortState& order = session.AlbumSort();
  if (args.sortKey) ChooseSortKey(order, *args.sortKey);
  if (args.ascending) order.Set(order.Key(), *args.ascending ? 1 : 0);
  // The window keeps the order with the user variables it saves when it closes.
  if ((args.sortKey || args.ascending) && !session.SaveSettings()) {
    std::fprintf(context.err, "zerva-cli: the order could not be kept for later runs: %s\n",
                 session.LastError().c_str());
  }

  const SortState& pageOrder = session.PageOrder();
  const std::string web = PageOrderKeyName(pageOrder.Key());
  std::fprintf(context.err, "Order: %s %s; web page: %s%s%s\n", AlbumSortKeyName(order.Key()),
               DirectionWord(order.Direction()), web.empty() ? "service default" : web.c_str(),
               web.empty() ? "" : " ", web.empty() ? "" : DirectionWord(pageOrder.Direction()));
  for (const CAlbum* album : SortedAlbums(app.AlbumMngr(), order)) {
    std::fprintf(context.out, "%s\n", AlbumLine(*album).c_str());
  }
  return kExitOk;
}

int RunDelete(CliContext& context) {
  CzervaApp& app = *context.app;
  const CAlbum* album = NamedAlbum(context);
  if (album == nullptr) return kExitNotFound;
  const int albumId = album->albumID;
  std::fprintf(context.err, "Album %d: %s\n", albumId, PlainName(*album).c_str());
  if (app.MessageBox(Text("AlbumsDlgDelete"), MessageKind::kWarning, MessageButtons::kYesNo) !=
      Reply::kYes) {
    std::fprintf(context.err, "Nothing was deleted.\n");
    return kExitDeclined;
  }
  std::string errorText;
  if (!DeleteServerAlbum(app, albumId, &errorText)) {
    app.MessageBox(errorText, MessageKind::kError);
    return kExitFailed;
  }
  std::fprintf(context.out, "Deleted album %d\n", albumId);
  return kExitOk;
}

int RunSend(CliContext& context) {
  CzervaApp& app = *context.app;
  const CAlbum* album = NamedAlbum(context);
  if (album == nullptr) return kExitNotFound;
  // The command line refused recipients that do not look like an address.
  const std::vector<std::string> recipients = SplitRecipients(context.args.recipients);
  const std::string subject = context.args.subject.value_or(AlbumMailSubject(*album));
  const std::string message = context.args.message.value_or(AlbumMailMessage(*album));
  CHttpConnect* connection = app.MainConnection();
  std::string errorText;
  if (connection == nullptr ||
      !SendAlbumMail(app.Session(), *connection, recipients, subject, message, &errorText)) {
    app.MessageBox(errorText.empty() ? Text("SendAlbumDlgSendError") : errorText,
                   MessageKind::kError);
    return kExitFailed;
  }
  std::fprintf(context.out, "Sent album %d (%s) to %s\n", album->albumID, PlainName(*album).c_str(),
               JoinRecipients(recipients).c_str());
  std::fprintf(context.err, "Subject: %s\n", FlattenLines(subject).c_str());
  return kExitOk;
}

int RunOpen(CliContext& context) {
  const CAlbum* album = NamedAlbum(context);
  if (album == nullptr) return kExitNotFound;
  const std::string address = album->AlbumUrl();
  const std::string signedIn = context.app->Session().SignedInUrl(address);
  if (signedIn.empty()) {
    // The page still opens; the visitor signs in there.
    std::fprintf(context.err,
                 "zerva-cli: the service gave no login ticket; this address does "
                 "not sign you in\n");
  }
  std::fprintf(context.out, "%s\n", signedIn.empty() ? address.c_str() : signedIn.c_str());
  return kExitOk;
}

int RunBanners(CliContext& context) {
  CzervaApp& app = *context.app;
  const CAlbum* album = NamedAlbum(context);
  if (album == nullptr) return kExitNotFound;
  CHttpConnect* connection = app.MainConnection();
  if (connection == nullptr) return kExitFailed;
  std::string refused;
  const std::vector<AlbumBanner> banners =
      ListAlbumBanners(*connection, app.Session().Credentials(), album->albumID, &refused);
  if (!refused.empty()) {
    std::fprintf(context.err, "zerva-cli: the service gave no banners for album %d: %s\n",
                 album->albumID, refused.c_str());
    return kExitFailed;
  }
  for (const AlbumBanner& banner : banners) {
    std::fprintf(context.out, "%s\n", BannerLine(banner).c_str());
  }
  if (banners.empty()) std::fprintf(context.err, "No banners for album %d\n", album->albumID);
  return kExitOk;
}

}  // namespace zerva::cli
