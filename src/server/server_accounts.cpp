// login.php, get_setting.php, set_setting.php, SetUserDetails, GetLoginTicket, and the three
// account-creation scripts.
#include "app/elements.h"
#include "platform/md5.h"
#include "server/accounts.h"
#include "server/answers.h"
#include "server/catalog.h"
#include "server/clock.h"
#include "server/images.h"
#include "server/limits.h"
#include "server/names.h"
#include "server/script_groups.h"
#include "server/tokens.h"

namespace zerva::server {
namespace {

constexpr int kTicketSeconds = 300;

std::string EmailHistory(Db& db, int64_t userId) {
  std::string out;
  for (const SqlRow& r : db.Query("SELECT email FROM address_book WHERE user_id = ? ORDER BY email",
                                  {static_cast<long long>(userId)})) {
    out += MakeElement("emailA", r[0].Text());
  }
  return out;
}

ServerResponse GetLogin(ScriptContext& ctx) {
  Db& db = ctx.db();
  auto lock = db.Lock();
  const std::string digest = ToLower(ctx.req.Field("userPass"));
  std::optional<User> user = FindUserByLogin(db, ctx.req.Field("email"));
  if (!user || !IsMd5Hex(digest) || user->passMd5 != digest) {
    return Refuse("Wrong e-mail or password", kErrAuth);
  }
  int width = 0;
  int height = 0;
  const std::string watermark = WatermarkTemplatePath(ctx.storage());
  if (!watermark.empty()) ImageSize(watermark, &width, &height);
  const int64_t used = ctx.storage().UsedBytes(user->id);
  std::string v;
  v += MakeElement("name", user->name);
  v += MakeElement("setting", user->setting);
  v += MakeElement("code", user->code);
  v += MakeElement("timeout", int64_t{10});
  v += MakeElement("userID", user->id);
  v += MakeElement("quota", ClampToInt32(user->quota));
  v += MakeElement("usedSize", ClampToInt32(used));
  v += MakeElement("emailHistory", EmailHistory(db, user->id));
  v += MakeElement("userType", int64_t{user->userType});
  v += MakeElement("lang", int64_t{user->lang});
  v += MakeElement("watermarkWidth", int64_t{width});
  v += MakeElement("watermarkHeight", int64_t{height});
  v += MakeElement("fullName", user->fullName);
  v += MakeElement("description", user->description);
  v += MakeElement("www", user->www);
  v += MakeElement("partners", PartnerListXml(db));
  v += MakeElement("userPageOrder", user->pageOrder);
  v += MakeElement("canPublishOnFB", int64_t{user->canPublishFb});
  v += MakeElement("defaultWatermark", int64_t{user->defaultWatermark});
  return Ok(v);
}

ServerResponse GetSetting(ScriptContext& ctx) {
  auto lock = ctx.db().Lock();
  std::optional<User> user = Authenticate(ctx.db(), ctx.req);
  if (!user) return AuthRefusal();
  return Ok(user->setting);
}

ServerResponse SetSetting(ScriptContext& ctx) {
  const std::string setting = ctx.req.Field("setting");
  if (!ctx.req.HasField("setting")) return Refuse("Missing setting", kErrBadRequest);
  if (setting.size() > kMaxSettingBytes) return Refuse("Setting too large", kErrTooLarge);
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  if (!db.Exec("UPDATE users SET setting = ? WHERE id = ?",
               {setting, static_cast<long long>(user->id)}))
    return Refuse("Cannot store setting", kErrInternal);
  return Ok();
}

ServerResponse SetUserDetails(ScriptContext& ctx) {
  const ServerRequest& req = ctx.req;
  for (const char* name : {"fullName", "description", "www", "userPageOrder"}) {
    if (req.Field(name).size() > kMaxShortTextBytes) return Refuse("Text too long", kErrTooLarge);
  }
  long long lang = 0;
  if (req.HasField("langClient") && !ParseInt64(req.Field("langClient"), &lang))
    return Refuse("Invalid language", kErrBadRequest);
  const bool changePass = req.Field("changePass") == "1";
  const std::string newPass = ToLower(req.Field("newPass"));
  if (changePass && !IsMd5Hex(newPass)) return Refuse("Invalid new password", kErrBadRequest);

  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, req);
  if (!user) return AuthRefusal();
  if (!UserIdMatches(*user, req)) return Refuse("Access denied", kErrAuth);
  Transaction tx(db);
  bool ok =
      tx.ok() && db.Exec(
                     "UPDATE users SET full_name = ?, description = ?, www = ?, page_order = ?, "
                     "default_watermark = ? WHERE id = ?",
                     {req.Field("fullName"), req.Field("description"), req.Field("www"),
                      req.Field("userPageOrder"), req.Field("defaultWatermark") == "1" ? 1 : 0,
                      static_cast<long long>(user->id)});
  if (ok && lang > 0) {
    ok =
        db.Exec("UPDATE users SET lang = ? WHERE id = ?", {lang, static_cast<long long>(user->id)});
  }
  if (ok && changePass) {
    ok = db.Exec("UPDATE users SET pass_md5 = ? WHERE id = ?",
                 {newPass, static_cast<long long>(user->id)});
  }
  if (!ok || !tx.Commit()) return Refuse("Cannot store user details", kErrInternal);
  return Ok(MakeElement("description", req.Field("description")));
}

ServerResponse GetLoginTicket(ScriptContext& ctx) {
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  const std::string ticket = RandomHex(16);
  db.Exec("DELETE FROM tickets WHERE expires < ?", {static_cast<long long>(NowSeconds())});
  if (!db.Exec("INSERT INTO tickets(ticket, user_id, expires) VALUES(?, ?, ?)",
               {ticket, static_cast<long long>(user->id),
                static_cast<long long>(NowSeconds() + kTicketSeconds)}))
    return Refuse("Cannot create ticket", kErrInternal);
  return Ok(ticket);
}

// Codes of the account checks: 0 acceptable, 1 wrong format, 2 already used.
int NameCode(Db& db, const std::string& name) {
  switch (CheckNick(name)) {
    case NickCheck::kOk:
      return FindUserByName(db, name) ? 2 : 0;
    case NickCheck::kReserved:
      return 2;
    default:
      return 1;
  }
}

int MailCode(Db& db, const std::string& email) {
  if (!IsValidEmail(email)) return 1;
  return db.QueryInt("SELECT COUNT(*) FROM users WHERE email = ?", {email}, 0) > 0 ? 2 : 0;
}

ServerResponse CheckUserName(ScriptContext& ctx) {
  auto lock = ctx.db().Lock();
  return Ok(MakeElement("code", int64_t{NameCode(ctx.db(), ctx.req.Field("userName"))}));
}

ServerResponse CheckUserMail(ScriptContext& ctx) {
  auto lock = ctx.db().Lock();
  return Ok(MakeElement("code", int64_t{MailCode(ctx.db(), ctx.req.Field("email"))}));
}

ServerResponse CreateAnswer(int code, int64_t userId = 0) {
  return Ok(MakeElement("code", int64_t{code}) + MakeElement("userID", userId));
}

ServerResponse CreateUser(ScriptContext& ctx) {
  const std::string name = ctx.req.Field("userName");
  const std::string email = ctx.req.Field("email");
  const std::string password = ctx.req.Field("password");
  long long lang = 1033;
  if (ctx.req.HasField("userLang") && (!ParseInt64(ctx.req.Field("userLang"), &lang) || lang <= 0))
    lang = 1033;
  Db& db = ctx.db();
  auto lock = db.Lock();
  switch (CheckNick(name)) {
    case NickCheck::kEmpty:
      return CreateAnswer(1);
    case NickCheck::kFormat:
      return CreateAnswer(4);
    case NickCheck::kReserved:
      return CreateAnswer(6);
    case NickCheck::kOk:
      if (FindUserByName(db, name)) return CreateAnswer(6);
  }
  if (email.empty()) return CreateAnswer(2);
  if (!IsValidEmail(email)) return CreateAnswer(5);
  if (MailCode(db, email) == 2) return CreateAnswer(7);
  if (password.empty()) return CreateAnswer(3);
  if (!IsAcceptablePassword(password)) return CreateAnswer(9);
  NewUser user;
  user.name = name;
  user.email = email;
  user.passMd5 = Md5Hex(password);
  user.lang = static_cast<int>(lang);
  const int64_t id = CreateUserRecord(db, user);
  if (id <= 0) return CreateAnswer(8);
  return CreateAnswer(0, id);
}

}  // namespace

void RegisterAccountScripts(Router& router) {
  router.AddScript("login.php", GetLogin);
  router.AddScript("get_setting.php", GetSetting);
  router.AddScript("set_setting.php", SetSetting);
  router.AddScript("createUser.php", CreateUser);
  router.AddScript("createUserCheckUserName.php", CheckUserName);
  router.AddScript("createUserCheckEmail.php", CheckUserMail);
  router.AddCommand("SetUserDetails", SetUserDetails);
  router.AddCommand("GetLoginTicket", GetLoginTicket);
}

}  // namespace zerva::server
