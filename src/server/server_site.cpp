// The public web site: a user's site lists the user's visible albums, an album page shows its
// photos and videos, and the album's files (images, thumbnails, HD images, patches, videos)
// are served from under the album's address, where the client downloads them. "alba." lists
// the albums of a category.
#include <algorithm>

#include "app/elements.h"
#include "platform/fs.h"
#include "server/accounts.h"
#include "server/album_store.h"
#include "server/answers.h"
#include "server/names.h"
#include "server/script_groups.h"
#include "server/web_session.h"

namespace zerva::server {
namespace {

const char* const kSiteStyle =
    "<style>.grid{display:flex;flex-wrap:wrap;gap:14px}.tile{background:#fff;padding:8px;"
    "border-radius:4px;box-shadow:0 1px 3px rgba(0,0,0,.2);width:220px}.tile img,.tile video{"
    "width:220px;height:160px;object-fit:cover;display:block;background:#ddd}.tile p{margin:6px 0 "
    "0;"
    "font-size:14px}.tile .d{color:#555;font-size:12px}h1{margin:0 0 4px}.meta{color:#667;"
    "margin-bottom:14px}</style>";

// Plain text with the client's "<br>" line breaks kept as breaks.
std::string TextHtml(const std::string& text) {
  std::string html = HtmlEscape(text);
  for (const char* br : {"&lt;br&gt;", "&lt;br/&gt;", "&lt;br /&gt;", "&lt;BR&gt;"}) {
    size_t pos;
    while ((pos = html.find(br)) != std::string::npos)
      html.replace(pos, std::string(br).size(), "<br>");
  }
  return html;
}

ServerResponse SitePage(Service& service, const std::string& title, const std::string& body) {
  return HtmlPage(200, title,
                  std::string(kSiteStyle) + "<header><a href=\"" +
                      HtmlEscape(service.ServiceRootUrl()) + "\"><b>zerva</b></a></header><main>" +
                      body + "</main>");
}

bool IsVisible(const Album& album) {
  const std::string v = GetElement(album.settings, "albumVisible");
  return v.empty() || GetElementFlag(album.settings, "albumVisible", true);
}

std::string CoverTile(Service& service, const User& user, const Album& album, Db& db) {
  std::string cover = GetElement(album.settings, "thumbName");
  if (cover.empty() || !IsSafeName(cover)) {
    std::vector<PhotoRecord> photos = AlbumPhotos(db, album.id);
    cover = photos.empty() ? "" : photos.front().fileName;
  }
  const std::string url = service.AlbumUrl(user.name, album.serverDir);
  std::string html = "<div class=\"tile\"><a href=\"" + HtmlEscape(url) + "\">";
  if (!cover.empty()) html += "<img alt=\"\" src=\"" + HtmlEscape(url + "thumb/" + cover) + "\">";
  html += "<p>" + TextHtml(GetElement(album.settings, "name")) + "</p></a></div>";
  return html;
}

ServerResponse UserHome(ScriptContext& ctx, const User& user) {
  Db& db = ctx.db();
  std::string body = "<h1>" + HtmlEscape(user.fullName.empty() ? user.name : user.fullName) +
                     "</h1><div class=\"meta\">" + TextHtml(user.description) +
                     "</div><div class=\"grid\">";
  int shown = 0;
  for (const Album& album : UserAlbums(db, user.id)) {
    if (!IsVisible(album)) continue;
    body += CoverTile(ctx.service, user, album, db);
    ++shown;
  }
  body += "</div>";
  if (shown == 0) body += "<p class=\"note\">No albums yet.</p>";
  return SitePage(ctx.service, user.name, body);
}

bool MaySeeSecureAlbum(ScriptContext& ctx, const User& owner, const Album& album) {
  if (!GetElementFlag(album.settings, "albumSecure", false)) return true;
  std::optional<User> visitor = SessionUser(ctx.db(), ctx.req);
  if (visitor && visitor->id == owner.id) return true;
  return ctx.req.Query("name") == GetElement(album.settings, "albumSecureName") &&
         ctx.req.Query("pass") == GetElement(album.settings, "albumSecurePass");
}

ServerResponse AlbumPage(ScriptContext& ctx, const User& user, const Album& album) {
  const std::string& s = album.settings;
  const std::string name = GetElement(s, "name");
  if (!MaySeeSecureAlbum(ctx, user, album)) {
    return SitePage(ctx.service, name,
                    "<h1>" + TextHtml(name) +
                        "</h1><p>This album is protected.</p><form>"
                        "<p>Name: <input name=\"name\"> Password: <input name=\"pass\" "
                        "type=\"password\"> <button>Open</button></p></form>");
  }
  const std::string folder = ctx.storage().AlbumFolder(user.id, album.serverDir);
  std::string body = "<h1>" + TextHtml(name) + "</h1><div class=\"meta\">" +
                     HtmlEscape(user.fullName.empty() ? user.name : user.fullName);
  const std::string from = GetElement(s, "startDateInterval");
  const std::string to = GetElement(s, "endDateInterval");
  if (!from.empty()) body += " &middot; " + HtmlEscape(from.substr(0, 10));
  if (!to.empty() && to.substr(0, 10) != from.substr(0, 10))
    body += " &ndash; " + HtmlEscape(to.substr(0, 10));
  body += "</div>";
  const std::string desc = GetElement(s, "desc");
  if (!desc.empty()) body += "<p>" + TextHtml(desc) + "</p>";
  body += "<div class=\"grid\">";
  int shown = 0;
  for (const PhotoRecord& p : AlbumPhotos(ctx.db(), album.id)) {
    if (!GetElementFlag(p.xml, "public", true)) continue;
    const std::string file = HtmlEscape(p.fileName);
    const bool hasThumb = FileExists(folder + "thumb/" + p.fileName);
    const bool hasImage = FileExists(folder + "images/" + p.fileName);
    body += "<div class=\"tile\">";
    if (p.isVideo && FileExists(ctx.storage().VideoFile(user.id, album.serverDir, p.fileName))) {
      body += "<video controls preload=\"none\" poster=\"images/" + file + "\" src=\"video/" +
              std::to_string(p.id) + "\"></video>";
    } else if (hasThumb || hasImage) {
      body += "<a href=\"" +
              std::string(FileExists(folder + "hdimages/" + p.fileName) ? "hdimages/" : "images/") +
              file + "\"><img alt=\"" + file + "\" src=\"" + (hasImage ? "images/" : "thumb/") +
              file + "\"></a>";
    } else {
      continue;
    }
    const std::string title = GetElement(p.xml, "name");
    body += "<p>" + TextHtml(title.empty() ? p.fileName : title) + "</p>";
    const std::string d = GetElement(p.xml, "desc");
    if (!d.empty()) body += "<p class=\"d\">" + TextHtml(d) + "</p>";
    body += "</div>";
    ++shown;
  }
  body += "</div>";
  if (shown == 0) body += "<p class=\"note\">This album has no photos yet.</p>";
  return SitePage(ctx.service, name.empty() ? album.serverDir : name, body);
}

ServerResponse UserSite(ScriptContext& ctx) {
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = FindUserByName(db, ctx.siteUser);
  if (!user) return NotFoundPage();
  // "/", "/<dir>", "/<dir>/", "/<dir>/<sub>/<file>", "/<dir>/video/<photoID>"
  std::vector<std::string> parts;
  const std::string& path = ctx.req.path;
  size_t pos = 1;
  while (pos <= path.size()) {
    size_t slash = path.find('/', pos);
    if (slash == std::string::npos) slash = path.size();
    parts.push_back(path.substr(pos, slash - pos));
    pos = slash + 1;
  }
  const bool trailingSlash = path.size() > 1 && path.back() == '/';
  if (!parts.empty() && parts.back().empty()) parts.pop_back();
  if (parts.empty()) return UserHome(ctx, *user);
  if (!IsSafeName(parts[0])) return NotFoundPage();
  std::optional<Album> album = FindAlbumByDir(db, user->id, parts[0]);
  if (!album) return NotFoundPage();
  if (parts.size() == 1) {
    if (!trailingSlash) return Redirect("/" + album->serverDir + "/");
    return AlbumPage(ctx, *user, *album);
  }
  if (parts.size() != 3 || trailingSlash) return NotFoundPage();
  if (parts[1] == "video") {
    long long id = 0;
    if (!ParseInt64(parts[2], &id)) return NotFoundPage();
    std::optional<PhotoRecord> photo = FindUserPhoto(db, user->id, id);
    if (!photo || photo->albumId != album->id) return NotFoundPage();
    const std::string file = ctx.storage().VideoFile(user->id, album->serverDir, photo->fileName);
    if (!FileExists(file)) return NotFoundPage();
    return FileAnswer(file, "video/mp4");
  }
  if (!IsUploadSubFolder(parts[1]) || !IsSafeName(parts[2])) return NotFoundPage();
  const std::string file = ctx.storage().AlbumFile(user->id, album->serverDir, parts[1], parts[2]);
  if (!FileExists(file)) return NotFoundPage();
  return FileAnswer(file, ContentTypeFor(parts[2]));
}

ServerResponse CategoryListing(ScriptContext& ctx) {
  long long category = 0;
  ParseInt64(ctx.req.Query("category"), &category);
  Db& db = ctx.db();
  auto lock = db.Lock();
  auto row = db.QueryOne("SELECT name FROM categories WHERE id = ?", {category});
  if (!row) return NotFoundPage();
  std::string name = (*row)[0].Text();
  std::replace(name.begin(), name.end(), '_', ' ');
  std::string body = "<h1>" + HtmlEscape(name) + "</h1><div class=\"grid\">";
  const std::string id = std::to_string(category);
  for (const SqlRow& r : db.Query("SELECT a.id, a.user_id FROM albums a ORDER BY a.id DESC")) {
    std::optional<User> owner = LoadUser(db, r[1].Int());
    if (!owner) continue;
    std::optional<Album> album = FindAlbum(db, owner->id, r[0].Int());
    if (!album || !IsVisible(*album)) continue;
    std::string list = GetElement(album->settings, "albumCategory");
    std::replace(list.begin(), list.end(), ';', ',');
    if (("," + list + ",").find("," + id + ",") == std::string::npos) continue;
    body += CoverTile(ctx.service, *owner, *album, db);
  }
  body += "</div>";
  return SitePage(ctx.service, name, body);
}

}  // namespace

void RegisterSitePages(Router& router) {
  router.AddPage(Root::kUserSite, "/", UserSite);
  router.AddPage(Root::kCategories, "/", CategoryListing);
}

}  // namespace zerva::server
