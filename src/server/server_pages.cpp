// The fixed pages and files of the service: connection test, server messages, language files,
// the update files directory, install status, the map picker, ticket sign-in, the password,
// rules and settings pages, partner logos and banner pictures.
#include "app/elements.h"
#include "platform/folders.h"
#include "platform/fs.h"
#include "server/answers.h"
#include "server/clock.h"
#include "server/map_page.h"
#include "server/names.h"
#include "server/script_groups.h"
#include "server/update_files.h"
#include "server/web_session.h"

namespace zerva::server {
namespace {

std::string Header(Service& service) {
  return "<header><a href=\"" + HtmlEscape(service.ServiceRootUrl()) +
         "\"><b>zerva</b></a> &middot; photo albums</header>";
}

ServerResponse Page(ScriptContext& ctx, const std::string& title, const std::string& body,
                    int status = 200) {
  return HtmlPage(status, title, Header(ctx.service) + "<main>" + body + "</main>");
}

std::string ServiceText(Db& db, const char* key) {
  auto lock = db.Lock();
  auto row = db.QueryOne("SELECT value FROM service_texts WHERE key = ?", {key});
  return row ? (*row)[0].Text() : std::string();
}

ServerResponse TestConnection(ScriptContext& ctx) {
  return Ok(ctx.service.options().domain);
}

ServerResponse Messages(ScriptContext& ctx) {
  const std::string message = ServiceText(ctx.db(), "message");
  const bool isError = ServiceText(ctx.db(), "messageError") == "true";
  return TextAnswer(200, OkText(message) + MakeElement("error", isError ? "true" : "false"));
}

ServerResponse LanguageFile(ScriptContext& ctx) {
  const std::string name = LastPathComponent(ctx.req.path);
  if (!IsSafeName(name) || name.rfind("zerva-", 0) != 0 || name.size() < 11 ||
      name.compare(name.size() - 4, 4, ".lng") != 0)
    return TextAnswer(404, "not found\n", "text/plain");
  for (const std::string& path :
       {ctx.storage().LangFolder() + name, ProgramFolder() + name, DataFilePath(name)}) {
    if (FileExists(path)) return FileAnswer(path, "text/plain");
  }
  return TextAnswer(404, "not found\n", "text/plain");
}

ServerResponse UpdateFile(ScriptContext& ctx) {
  const std::string name = LastPathComponent(ctx.req.path);
  if (name.empty()) {
    return Page(ctx, "Updates", "<p>The update files of the zerva client.</p>");
  }
  if (!IsSafeName(name)) return TextAnswer(404, "not found\n", "text/plain");
  const std::string path = ctx.storage().UpdateFolder() + name;
  if (FileExists(path)) return FileAnswer(path, ContentTypeFor(name));
  if (name == "files.dat") return TextAnswer(200, DefaultFilesDat(), "text/xml");
  if (name == "photovideoparams.xml") return TextAnswer(200, DefaultPhotoVideoParams(), "text/xml");
  return TextAnswer(404, "not found\n", "text/plain");
}

ServerResponse DownloadPage(ScriptContext& ctx) {
  std::string body = "<h1>Download zerva</h1>";
  if (ctx.req.Query("aktualizace") == "error") {
    body +=
        "<p class=\"note\">The automatic update did not work. Please download and install "
        "the current version of the client.</p>";
  }
  body += "<p>The zerva client uploads whole folders of photos and videos as albums.</p>";
  return Page(ctx, "Download", body);
}

ServerResponse NotifyStatus(ScriptContext& ctx) {
  const std::string status = ctx.req.Query("current_status");
  if (status == "installed" || status == "uninstalled") {
    Db& db = ctx.db();
    auto lock = db.Lock();
    db.Exec("INSERT INTO install_events(status, created) VALUES(?, ?)", {status, NowText()});
  }
  return Page(ctx, "zerva",
              status == "uninstalled" ? "<p>The client was removed.</p>"
                                      : "<p>Thank you for installing zerva.</p>");
}

ServerResponse MapPage(ScriptContext&) {
  return TextAnswer(200, MapPageHtml(), "text/html; charset=utf-8");
}

// Only addresses of this service: a ticket must not turn the site into an open redirect.
bool IsOwnUrl(const std::string& url, const std::string& domain) {
  std::string rest;
  if (url.rfind("http://", 0) == 0) {
    rest = url.substr(7);
  } else if (url.rfind("https://", 0) == 0) {
    rest = url.substr(8);
  } else {
    return false;
  }
  std::string host = ToLower(rest.substr(0, rest.find_first_of("/?#")));
  if (host.find('@') != std::string::npos) return false;
  const size_t colon = host.rfind(':');
  if (colon != std::string::npos) host = host.substr(0, colon);
  return host == domain ||
         (host.size() > domain.size() &&
          host.compare(host.size() - domain.size(), domain.size(), domain) == 0 &&
          host[host.size() - domain.size() - 1] == '.') ||
         host == "127.0.0.1" || host == "localhost";
}

ServerResponse LoginByTicket(ScriptContext& ctx) {
  std::string target = ctx.req.Query("oldURL");
  const std::string& domain = ctx.service.options().domain;
  if (!IsOwnUrl(target, domain)) target = ctx.service.ServiceRootUrl();
  ServerResponse r = Redirect(target);
  if (ctx.req.Query("act") != "LoginByTicket") return r;
  const std::string ticket = ctx.req.Query("ticket");
  Db& db = ctx.db();
  auto lock = db.Lock();
  const int64_t userId =
      db.QueryInt("SELECT user_id FROM tickets WHERE ticket = ? AND expires >= ?",
                  {ticket, static_cast<long long>(NowSeconds())}, 0);
  // A ticket signs in once; an unknown or used one leads to the page signed out.
  db.Exec("DELETE FROM tickets WHERE ticket = ?", {ticket});
  if (userId > 0) {
    std::string cookie = std::string(kSessionCookie) + "=" + CreateWebSession(db, userId) +
                         "; Path=/; HttpOnly; SameSite=Lax";
    const std::string& host = ctx.req.host;
    if (host == domain || (host.size() > domain.size() &&
                           host.compare(host.size() - domain.size(), domain.size(), domain) == 0))
      cookie += "; Domain=" + domain;
    r.headers.emplace_back("Set-Cookie", cookie);
  }
  return r;
}

ServerResponse PasswordPage(ScriptContext& ctx) {
  if (ctx.req.method == "POST" && ctx.req.HasField("email")) {
    const std::string email = ctx.req.Field("email");
    Db& db = ctx.db();
    auto lock = db.Lock();
    auto user = db.QueryOne("SELECT id, email FROM users WHERE email = ?", {email});
    if (user) {
      db.Exec(
          "INSERT INTO mails(user_id, kind, mail_to, subject, message, created) "
          "VALUES(?, 'password', ?, 'Password reset', 'Follow the link to set a new password.', ?)",
          {(*user)[0].Int(), (*user)[1].Text(), NowText()});
    }
    // The same answer either way, so the page does not tell which addresses have accounts.
    return Page(ctx, "Forgotten password",
                "<h1>Forgotten password</h1><p>When the address belongs to an account, a message "
                "with a link to set a new password is on its way.</p>");
  }
  return Page(ctx, "Forgotten password",
              "<h1>Forgotten password</h1><form method=\"post\"><p>E-mail address: "
              "<input name=\"email\" type=\"email\"> <button>Send</button></p></form>");
}

ServerResponse RulesPage(ScriptContext& ctx) {
  return Page(ctx, "Rules",
              "<h1>Rules of the service</h1><ol><li>Upload only photos and videos you have the "
              "right to publish.</li><li>Respect the privacy of the people in your pictures.</li>"
              "<li>One account per person; keep your password to yourself.</li>"
              "<li>Albums that break these rules may be hidden.</li></ol>");
}

ServerResponse SettingsPage(ScriptContext& ctx) {
  if (ctx.req.Query("act") == "FacebookAuthorize") {
    return Page(ctx, "Settings",
                "<h1>Social network</h1><p>Linking a social network account is not available "
                "on this service.</p>");
  }
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = SessionUser(db, ctx.req);
  if (!user) {
    return Page(ctx, "Settings",
                "<h1>Account settings</h1><p>Please sign in from the zerva client to change "
                "your settings.</p>");
  }
  return Page(ctx, "Settings",
              "<h1>Account settings</h1><p>Signed in as <b>" + HtmlEscape(user->name) + "</b> (" +
                  HtmlEscape(user->email) + ")</p><p>Full name: " + HtmlEscape(user->fullName) +
                  "</p><p><a href=\"" + HtmlEscape(ctx.service.UserSiteUrl(user->name)) +
                  "\">Your albums</a></p>");
}

ServerResponse MediaPicture(ScriptContext& ctx, const std::string& prefix) {
  const std::string name = LastPathComponent(ctx.req.path);
  long long n = 0;
  if (name.size() < 5 || name.compare(name.size() - 4, 4, ".jpg") != 0 ||
      !ParseInt64(name.substr(0, name.size() - 4), &n) || n <= 0)
    return NotFoundPage();
  const std::string path = ctx.storage().MediaFile(prefix + std::to_string(n) + ".jpg");
  if (!FileExists(path)) return NotFoundPage();
  return FileAnswer(path, "image/jpeg");
}

ServerResponse HomePage(ScriptContext& ctx) {
  if (ctx.req.path != "/") return NotFoundPage();
  return Page(ctx, "zerva",
              "<h1>zerva photo albums</h1><p>Upload whole folders of photos and videos with the "
              "zerva client.</p><ul><li><a href=\"/stahnout/\">Download the client</a></li>"
              "<li><a href=\"/pravidla/\">Rules</a></li><li><a href=\"/heslo/\">Forgotten "
              "password</a></li><li><a href=\"/nastaveni/\">Account settings</a></li></ul>");
}

ServerResponse DownloadRoot(ScriptContext& ctx) {
  return Page(ctx, "Source packages",
              "<h1>Source packages</h1><p>The client is built from the Debian packages of its "
              "libraries; their sources are available from the Debian archive.</p>");
}

}  // namespace

void RegisterServicePages(Router& router) {
  router.AddPage(Root::kUpload, "/test_connection/client.php", TestConnection);
  router.AddScript("messages.php", Messages, false);
  router.AddScript("lang/", LanguageFile, false);

  router.AddPage(Root::kService, "/", HomePage);
  router.AddPage(Root::kService, "/stahnout/", DownloadPage);
  router.AddPage(Root::kService, "/stahnout/update/", UpdateFile);
  router.AddPage(Root::kService, "/program/notifyStatus.php", NotifyStatus);
  router.AddPage(Root::kService, "/program/googlemaps.php", MapPage);
  router.AddPage(Root::kService, "/prihlasit", LoginByTicket);
  router.AddPage(Root::kService, "/heslo/", PasswordPage);
  router.AddPage(Root::kService, "/pravidla/", RulesPage);
  router.AddPage(Root::kService, "/nastaveni/", SettingsPage);
  router.AddPage(Root::kService, "/partners/logos/",
                 [](ScriptContext& ctx) { return MediaPicture(ctx, "partner-"); });
  router.AddPage(Root::kService, "/banners/",
                 [](ScriptContext& ctx) { return MediaPicture(ctx, "banner-"); });
  router.AddPage(Root::kDownload, "/", DownloadRoot);
}

}  // namespace zerva::server
