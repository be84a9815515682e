#include "server/control.h"

#include "server/answers.h"
#include "server/mail_record.h"
#include "server/names.h"

namespace zerva::server {
namespace {

ServerResponse Plain(int status, std::string text) {
  return TextAnswer(status, std::move(text), "text/plain");
}

ServerResponse SetConfig(Service& service, const ServerRequest& req) {
  const std::string name = req.Field("name");
  const std::string value = req.Field("value");
  long long n = 0;
  const bool numeric = ParseInt64(value, &n);
  FaultTable& f = service.faults();
  if (name == "uploadDelay" && numeric && n >= 0) {
    f.uploadDelay = static_cast<int>(n);
  } else if (name == "optimalNumThreads" && numeric) {
    f.optimalNumThreads = static_cast<int>(n);
  } else if (name == "optimumRequestTime" && numeric) {
    f.optimumRequestTime = static_cast<int>(n);
  } else if (name == "message" || name == "messageError") {
    Db& db = service.db();
    auto lock = db.Lock();
    if (!db.Exec("INSERT OR REPLACE INTO service_texts(key, value) VALUES(?, ?)", {name, value}))
      return Plain(500, db.LastError());
  } else {
    return Plain(400, "unknown setting or bad value: " + name);
  }
  return Plain(200, "ok");
}

}  // namespace

ServerResponse HandleControl(Service& service, const ServerRequest& req) {
  if (!req.FromLoopback()) return Plain(403, "control is reachable from loopback only");
  const std::string what = req.path.substr(std::string(kControlPrefix).size());
  if (what == "health") return Plain(200, "ok");
  if (what == "log") {
    long long since = 0;
    ParseInt64(req.Query("since"), &since);
    return Plain(200, service.log().Serialize(since));
  }
  if (what == "mails") {
    long long since = 0;
    ParseInt64(req.Query("since"), &since);
    Db& db = service.db();
    auto lock = db.Lock();
    return Plain(200, SerializeMails(db, since));
  }
  if (req.method != "POST") return Plain(405, "POST expected");
  if (!req.bodyError.empty()) return Plain(400, req.bodyError);
  if (what == "log/clear") {
    service.log().Clear();
    return Plain(200, "ok");
  }
  if (what == "faults/clear") {
    service.faults().Clear();
    return Plain(200, "ok");
  }
  if (what == "config") return SetConfig(service, req);
  if (what == "quota") {
    long long bytes = 0;
    if (!ParseInt64(req.Field("bytes"), &bytes) || bytes < 0) return Plain(400, "bytes expected");
    Db& db = service.db();
    auto lock = db.Lock();
    if (!db.Exec("UPDATE users SET quota = ? WHERE name = ?", {bytes, req.Field("user")}) ||
        db.Changes() != 1)
      return Plain(404, "no such user");
    return Plain(200, "ok");
  }
  long long count = 1;
  if (req.HasField("count") && (!ParseInt64(req.Field("count"), &count) || count < 1))
    return Plain(400, "bad count");
  if (what == "refuse-block") {
    const std::string md5 = ToLower(req.Field("md5"));
    if (!IsMd5Hex(md5)) return Plain(400, "md5 expected");
    service.faults().RefuseBlock(md5, static_cast<int>(count));
    return Plain(200, "ok");
  }
  if (what == "fault") {
    Fault fault;
    fault.target = req.Field("target");
    const std::string kindText = req.Field("kind");
    const auto kind = ParseFaultKind(kindText);
    if (fault.target.empty() || !kind) return Plain(400, "target and a known kind expected");
    fault.kind = *kind;
    fault.remaining = static_cast<int>(count);
    fault.value = req.Field("value");
    if (kindText == "500" || kindText == "404") fault.value = kindText;
    long long n = 0;
    if ((fault.kind == FaultKind::kStatus || fault.kind == FaultKind::kDelay) &&
        (!ParseInt64(fault.value, &n) || n < 0 || n > 600000))
      return Plain(400, "numeric value expected");
    if (fault.kind == FaultKind::kStatus && (n < 100 || n > 599)) return Plain(400, "bad status");
    service.faults().Add(std::move(fault));
    return Plain(200, "ok");
  }
  return Plain(404, "unknown control " + what);
}

}  // namespace zerva::server
