// GetCategory, GetPartners, GetInfo, GetBanners, SendAdditionalAlbumInfo, GetWatermarkTemplate
// and GetWatermarkPatch.
#include "app/elements.h"
#include "platform/fs.h"
#include "server/accounts.h"
#include "server/album_store.h"
#include "server/answers.h"
#include "server/catalog.h"
#include "server/limits.h"
#include "server/names.h"
#include "server/script_groups.h"

namespace zerva::server {
namespace {

long long L(int64_t v) {
  return static_cast<long long>(v);
}

ServerResponse GetCategory(ScriptContext& ctx) {
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  if (!UserIdMatches(*user, ctx.req)) return Refuse("Access denied", kErrAuth);
  std::string v;
  for (const SqlRow& r :
       db.Query("SELECT id, parent_id, partner_id, need_info, additional_info, send_original, "
                "send_hires, sub_categories, url, caption, description, read_only, name FROM "
                "categories ORDER BY sort, id")) {
    v += "<category>" + MakeElement("index", r[0].Int()) + MakeElement("parentID", r[1].Int()) +
         MakeElement("partnerID", r[2].Int()) + MakeElement("needInfo", r[3].Int()) +
         MakeElement("additionalInfo", r[4].Text()) + MakeElement("sendOriginal", r[5].Int()) +
         MakeElement("sendHiRes", r[6].Int()) + MakeElement("subCategories", r[7].Text()) +
         MakeElement("url", r[8].Text()) + MakeElement("caption", r[9].Text()) +
         MakeElement("description", r[10].Text()) + MakeElement("readOnly", r[11].Int()) +
         MakeElement("name", r[12].Text()) + "</category>";
  }
  return Ok(v);
}

ServerResponse GetPartners(ScriptContext& ctx) {
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  if (!UserIdMatches(*user, ctx.req)) return Refuse("Access denied", kErrAuth);
  return Ok(PartnerListXml(db));
}

ServerResponse GetInfo(ScriptContext& ctx) {
  long long lang = 0;
  ParseInt64(ctx.req.Field("userLang"), &lang);
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  auto row = db.QueryOne(
      "SELECT url, caption, description, interval FROM info WHERE lang = ? "
      "OR lang = 0 ORDER BY lang DESC LIMIT 1",
      {lang});
  if (!row)
    return Ok(MakeElement("url", "") + MakeElement("caption", "") + MakeElement("description", "") +
              MakeElement("interval", int64_t{0}));
  const SqlRow& r = *row;
  return Ok(MakeElement("url", r[0].Text()) + MakeElement("caption", r[1].Text()) +
            MakeElement("description", r[2].Text()) + MakeElement("interval", r[3].Int()));
}

ServerResponse GetBanners(ScriptContext& ctx) {
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  std::string files;
  for (const SqlRow& r : db.Query("SELECT id, title, link FROM banners ORDER BY id")) {
    files += "<file>" +
             MakeElement("url", ctx.service.ServiceRootUrl() + "banners/" +
                                    std::to_string(r[0].Int()) + ".jpg") +
             MakeElement("title", r[1].Text()) + MakeElement("name", r[2].Text()) + "</file>";
  }
  return Ok(MakeElement("files", files));
}

ServerResponse SendAdditionalAlbumInfo(ScriptContext& ctx) {
  long long albumId = 0;
  long long categoryId = 0;
  if (!ParseInt64(ctx.req.Field("albumID"), &albumId) || albumId <= 0 ||
      !ParseInt64(ctx.req.Field("categoryID"), &categoryId) || categoryId <= 0)
    return Refuse("Invalid album or category identifier", kErrBadRequest);
  const std::string valueSet = ctx.req.Field("valueSet");
  if (valueSet.size() > kMaxSettingBytes) return Refuse("Value set too large", kErrTooLarge);
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  if (!FindAlbum(db, user->id, albumId)) return Refuse("Album not found", kErrNotFound);
  if (db.QueryInt("SELECT COUNT(*) FROM categories WHERE id = ?", {categoryId}, 0) == 0)
    return Refuse("Category not found", kErrNotFound);
  if (!db.Exec(
          "INSERT OR REPLACE INTO album_info(album_id, category_id, value_set) VALUES(?, ?, ?)",
          {albumId, categoryId, valueSet}))
    return Refuse("Cannot store album information", kErrInternal);
  return Ok();
}

// The client writes these answers to a file; a refusal must therefore carry an error status.
ServerResponse FileRefusal(int status, const std::string& message, int code) {
  return TextAnswer(status, RefusalText(message, code));
}

ServerResponse GetWatermarkTemplate(ScriptContext& ctx) {
  Db& db = ctx.db();
  auto lock = db.Lock();
  if (!Authenticate(db, ctx.req)) return FileRefusal(403, "Wrong user name or password", kErrAuth);
  const std::string path = WatermarkTemplatePath(ctx.storage());
  if (path.empty()) return FileRefusal(404, "No watermark template", kErrNotFound);
  return FileAnswer(path, "image/png");
}

ServerResponse GetWatermarkPatch(ScriptContext& ctx) {
  long long photoId = 0;
  if (!ParseInt64(ctx.req.Field("photoID"), &photoId) || photoId <= 0)
    return FileRefusal(404, "Invalid photo identifier", kErrBadRequest);
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return FileRefusal(404, "Wrong user name or password", kErrAuth);
  if (!UserIdMatches(*user, ctx.req)) return FileRefusal(404, "Access denied", kErrAuth);
  std::optional<PhotoRecord> photo = FindUserPhoto(db, user->id, photoId);
  if (!photo) return FileRefusal(404, "Photo not found", kErrNotFound);
  auto album = db.QueryOne("SELECT server_dir FROM albums WHERE id = ?", {L(photo->albumId)});
  const std::string path =
      album ? ctx.storage().AlbumFile(user->id, (*album)[0].Text(), "diff", photo->fileName) : "";
  if (!FileExists(path)) return FileRefusal(404, "No watermark patch", kErrNotFound);
  return FileAnswer(path, "image/jpeg");
}

}  // namespace

void RegisterCatalogScripts(Router& router) {
  router.AddCommand("GetCategory", GetCategory);
  router.AddCommand("GetPartners", GetPartners);
  router.AddScript("get_info.php", GetInfo);
  router.AddCommand("GetBanners", GetBanners);
  router.AddCommand("SendAdditionalAlbumInfo", SendAdditionalAlbumInfo);
  router.AddCommand("GetWatermarkTemplate", GetWatermarkTemplate);
  router.AddCommand("GetWatermarkPatch", GetWatermarkPatch);
}

}  // namespace zerva::server
