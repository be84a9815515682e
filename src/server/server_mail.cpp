// SendEmail (stored, not sent) and DeleteEmailAddress; the recipients form the user's address
// book, which the sign-in answer returns as the e-mail history.
#include "server/accounts.h"
#include "server/answers.h"
#include "server/clock.h"
#include "server/limits.h"
#include "server/names.h"
#include "server/script_groups.h"

namespace zerva::server {
namespace {

long long L(int64_t v) {
  return static_cast<long long>(v);
}

// "a@x.cz; b@y.cz" or "a@x.cz,b@y.cz" into addresses; false when one is not an address.
bool SplitRecipients(const std::string& text, std::vector<std::string>* out) {
  std::string current;
  auto flush = [&] {
    if (current.empty()) return true;
    if (!IsValidEmail(current)) return false;
    out->push_back(current);
    current.clear();
    return true;
  };
  for (char c : text) {
    if (c == ';' || c == ',') {
      if (!flush()) return false;
    } else if (c != ' ' && c != '\t' && c != '\r' && c != '\n') {
      current += c;
    }
  }
  return flush();
}

ServerResponse SendEmail(ScriptContext& ctx) {
  const ServerRequest& req = ctx.req;
  std::vector<std::string> recipients;
  if (!SplitRecipients(req.Field("mailTo"), &recipients) || recipients.empty())
    return Refuse("Invalid recipient address", kErrBadRequest);
  if (recipients.size() > kMaxRecipients) return Refuse("Too many recipients", kErrTooLarge);
  for (const char* name : {"mailSubject", "mailMessage", "mailFrom"}) {
    if (req.Field(name).size() > kMaxShortTextBytes) return Refuse("Text too long", kErrTooLarge);
  }
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, req);
  if (!user) return AuthRefusal();
  if (!UserIdMatches(*user, req)) return Refuse("Access denied", kErrAuth);
  std::string joined;
  for (const std::string& r : recipients) joined += (joined.empty() ? "" : ";") + r;
  // A client that does not know the user's address leaves the sender out: the account's own
  // address goes out instead, never an empty sender.
  const std::string sender = req.Field("mailFrom").empty() ? user->email : req.Field("mailFrom");
  Transaction tx(db);
  bool ok = tx.ok() && db.Exec(
                           "INSERT INTO mails(user_id, kind, mail_from, mail_to, subject, message, "
                           "created) VALUES(?, 'album', ?, ?, ?, ?, ?)",
                           {L(user->id), sender, joined, req.Field("mailSubject"),
                            req.Field("mailMessage"), NowText()});
  for (const std::string& r : recipients) {
    ok = ok && db.Exec("INSERT OR IGNORE INTO address_book(user_id, email) VALUES(?, ?)",
                       {L(user->id), r});
  }
  if (!ok || !tx.Commit()) return Refuse("Cannot send e-mail", kErrInternal);
  return Ok();
}

ServerResponse DeleteEmailAddress(ScriptContext& ctx) {
  Db& db = ctx.db();
  auto lock = db.Lock();
  std::optional<User> user = Authenticate(db, ctx.req);
  if (!user) return AuthRefusal();
  if (!db.Exec("DELETE FROM address_book WHERE user_id = ? AND email = ?",
               {L(user->id), ctx.req.Field("email")}))
    return Refuse("Cannot delete address", kErrInternal);
  return Ok();
}

}  // namespace

void RegisterMailScripts(Router& router) {
  router.AddCommand("SendEmail", SendEmail);
  router.AddCommand("DeleteEmailAddress", DeleteEmailAddress);
}

}  // namespace zerva::server
