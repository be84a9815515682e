// send_stat.php, send_bug.php (with or without a file) and ping.php. Reports are accepted
// without a valid sign-in too: the client sends some before anyone has signed in.
#include "app/elements.h"
#include "server/accounts.h"
#include "server/answers.h"
#include "server/clock.h"
#include "server/limits.h"
#include "server/names.h"
#include "server/script_groups.h"

namespace zerva::server {
namespace {

ServerResponse SendStat(ScriptContext& ctx) {
  const std::string uuid = ctx.req.Field("uuid");
  const std::string statistic = ctx.req.Field("statistic");
  if (uuid.empty() || uuid.size() > 64)
    return Refuse("Invalid installation identifier", kErrBadRequest);
  if (statistic.size() > kMaxSettingBytes) return Refuse("Statistic too large", kErrTooLarge);
  Db& db = ctx.db();
  auto lock = db.Lock();
  if (!db.Exec("INSERT INTO statistics(uuid, statistic, created) VALUES(?, ?, ?)",
               {uuid, statistic, NowText()}))
    return Refuse("Cannot store statistic", kErrInternal);
  return Ok();
}

ServerResponse SendBug(ScriptContext& ctx) {
  const FormField* file = ctx.req.Find("soubor");
  const bool withFile = file != nullptr;
  const std::string report = ctx.req.Field(withFile ? "chyba" : "whatIsWrong");
  if (report.size() > kMaxSettingBytes) return Refuse("Report too large", kErrTooLarge);
  if (withFile && (!file->isFile || file->value.size() > kMaxBugFileBytes))
    return Refuse("Invalid report file", kErrTooLarge);
  std::string tmp;
  std::string error;
  if (withFile && !ctx.storage().WriteTemp(file->value, &tmp, &error))
    return Refuse(error, kErrInternal);
  Db& db = ctx.db();
  auto lock = db.Lock();
  const bool authenticated = Authenticate(db, ctx.req).has_value();
  Transaction tx(db);
  bool ok =
      tx.ok() && db.Exec(
                     "INSERT INTO bug_reports(user_name, authenticated, report, file_name, "
                     "file_size, created) VALUES(?, ?, ?, ?, ?, ?)",
                     {ctx.req.Field("userName").substr(0, kMaxNameBytes), authenticated, report,
                      withFile ? LastPathComponent(file->fileName).substr(0, kMaxNameBytes) : "",
                      static_cast<long long>(withFile ? file->value.size() : 0), NowText()});
  const int64_t id = ok ? db.LastInsertId() : 0;
  if (ok && withFile) ok = ctx.storage().CommitTemp(tmp, ctx.storage().BugFile(id), &error);
  if (!ok || !tx.Commit()) {
    ctx.storage().DropTemp(tmp);
    return Refuse("Cannot store report", kErrInternal);
  }
  return Ok(std::to_string(id));
}

ServerResponse Ping(ScriptContext& ctx) {
  return TextAnswer(200,
                    OkText("pong") + MakeElement("code", ctx.req.Field("code").substr(0, 256)));
}

}  // namespace

void RegisterDiagnosticScripts(Router& router) {
  router.AddScript("send_stat.php", SendStat);
  router.AddScript("send_bug.php", SendBug);
  router.AddScript("ping.php", Ping);
}

}  // namespace zerva::server
