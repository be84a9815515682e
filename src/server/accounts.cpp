#include "server/accounts.h"

#include <limits>

#include "server/answers.h"
#include "server/clock.h"
#include "server/names.h"
#include "server/tokens.h"

namespace zerva::server {
namespace {

constexpr const char* kUserColumns =
    "SELECT id, name, email, pass_md5, user_type, lang, quota, full_name, description, www, "
    "setting, page_order, default_watermark, can_publish_fb, code FROM users ";

User FromRow(const SqlRow& r) {
  User u;
  u.id = r[0].Int();
  u.name = r[1].Text();
  u.email = r[2].Text();
  u.passMd5 = r[3].Text();
  u.userType = static_cast<int>(r[4].Int());
  u.lang = static_cast<int>(r[5].Int());
  u.quota = r[6].Int();
  u.fullName = r[7].Text();
  u.description = r[8].Text();
  u.www = r[9].Text();
  u.setting = r[10].Text();
  u.pageOrder = r[11].Text();
  u.defaultWatermark = static_cast<int>(r[12].Int());
  u.canPublishFb = static_cast<int>(r[13].Int());
  u.code = r[14].Text();
  return u;
}

std::optional<User> One(std::optional<SqlRow> row) {
  if (!row) return std::nullopt;
  return FromRow(*row);
}

}  // namespace

std::optional<User> LoadUser(Db& db, int64_t id) {
  return One(db.QueryOne(std::string(kUserColumns) + "WHERE id = ?", {static_cast<long long>(id)}));
}

std::optional<User> FindUserByName(Db& db, std::string_view name) {
  if (name.empty()) return std::nullopt;
  return One(db.QueryOne(std::string(kUserColumns) + "WHERE name = ?", {name}));
}

std::optional<User> FindUserByLogin(Db& db, std::string_view login) {
  if (login.empty()) return std::nullopt;
  return One(db.QueryOne(std::string(kUserColumns) + "WHERE name = ? OR email = ? ORDER BY id",
                         {login, login}));
}

std::optional<User> Authenticate(Db& db, const ServerRequest& req) {
  const std::string digest = ToLower(req.Field("userPass"));
  if (!IsMd5Hex(digest)) return std::nullopt;
  std::optional<User> user = FindUserByName(db, req.Field("userName"));
  if (!user || user->passMd5 != digest) return std::nullopt;
  return user;
}

ServerResponse AuthRefusal() {
  return Refuse("Wrong user name or password", kErrAuth);
}

bool UserIdMatches(const User& user, const ServerRequest& req) {
  if (!req.HasField("userID")) return true;
  long long id = 0;
  if (!ParseInt64(req.Field("userID"), &id)) return false;
  return id == 0 || id == user.id;
}

int64_t CreateUserRecord(Db& db, const NewUser& user) {
  const int64_t quota = user.userType == kVipUserType ? kVipQuota : kOrdinaryQuota;
  if (!db.Exec("INSERT INTO users(name, email, pass_md5, user_type, lang, quota, full_name, code, "
               "created) VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?)",
               {user.name, user.email, ToLower(user.passMd5), user.userType, user.lang,
                static_cast<long long>(quota), user.fullName, RandomHex(8), NowText()}))
    return 0;
  return db.LastInsertId();
}

int64_t ClampToInt32(int64_t value) {
  return std::min<int64_t>(value, std::numeric_limits<int32_t>::max());
}

}  // namespace zerva::server
