// Browser sign-in on the web site: a one-time login ticket becomes a session cookie.
#pragma once

#include <optional>
#include <string>

#include "server/accounts.h"
#include "server/request.h"
#include "server/server_db.h"

namespace zerva::server {

inline constexpr const char* kSessionCookie = "zerva_session";

// The database lock must be held.
std::string CreateWebSession(Db& db, int64_t userId);
std::optional<User> SessionUser(Db& db, const ServerRequest& req);
// The value of one cookie of the request.
std::string CookieValue(const ServerRequest& req, const std::string& name);

}  // namespace zerva::server
