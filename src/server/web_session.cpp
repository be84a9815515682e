#include "server/web_session.h"

#include "server/clock.h"
#include "server/tokens.h"

namespace zerva::server {

constexpr int64_t kSessionSeconds = 7 * 24 * 3600;

std::string CreateWebSession(Db& db, int64_t userId) {
  const std::string token = RandomHex(16);
  db.Exec("DELETE FROM web_sessions WHERE expires < ?", {static_cast<long long>(NowSeconds())});
  db.Exec("INSERT INTO web_sessions(token, user_id, expires) VALUES(?, ?, ?)",
          {token, static_cast<long long>(userId),
           static_cast<long long>(NowSeconds() + kSessionSeconds)});
  return token;
}

std::optional<User> SessionUser(Db& db, const ServerRequest& req) {
  const std::string token = CookieValue(req, kSessionCookie);
  if (token.empty()) return std::nullopt;
  const int64_t userId =
      db.QueryInt("SELECT user_id FROM web_sessions WHERE token = ? AND expires >= ?",
                  {token, static_cast<long long>(NowSeconds())}, 0);
  if (userId <= 0) return std::nullopt;
  return LoadUser(db, userId);
}

std::string CookieValue(const ServerRequest& req, const std::string& name) {
  const std::string header = req.Header("Cookie");
  size_t pos = 0;
  while (pos < header.size()) {
    size_t end = header.find(';', pos);
    if (end == std::string::npos) end = header.size();
    std::string piece = header.substr(pos, end - pos);
    const size_t start = piece.find_first_not_of(' ');
    piece = start == std::string::npos ? "" : piece.substr(start);
    if (piece.size() > name.size() && piece.compare(0, name.size(), name) == 0 &&
        piece[name.size()] == '=')
      return piece.substr(name.size() + 1);
    pos = end + 1;
  }
  return {};
}

}  // namespace zerva::server
