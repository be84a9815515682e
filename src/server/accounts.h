// User accounts: lookup, authentication of API calls, creation.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "server/request.h"
#include "server/server_db.h"

namespace zerva::server {

inline constexpr int kVipUserType = 111;
inline constexpr int64_t kOrdinaryQuota = 1073741824;  // 1 GiB
inline constexpr int64_t kVipQuota = 2000000000;

struct User {
  int64_t id = 0;
  std::string name;
  std::string email;
  std::string passMd5;
  int userType = 1;
  int lang = 1033;
  int64_t quota = kOrdinaryQuota;
  std::string fullName;
  std::string description;
  std::string www;
  std::string setting;
  std::string pageOrder;
  int defaultWatermark = 0;
  int canPublishFb = 0;
  std::string code;
};

// The database lock must be held for all of these.
std::optional<User> LoadUser(Db& db, int64_t id);
std::optional<User> FindUserByName(Db& db, std::string_view name);
// A login name is the user name or the e-mail address (both ignoring case).
std::optional<User> FindUserByLogin(Db& db, std::string_view login);
// `userName` and `userPass` (password digest) of the request; nothing when they do not match.
std::optional<User> Authenticate(Db& db, const ServerRequest& req);
ServerResponse AuthRefusal();
// The account's `userID` field, when sent, must be the account's own (0 counts as "mine").
bool UserIdMatches(const User& user, const ServerRequest& req);

struct NewUser {
  std::string name;
  std::string email;
  std::string passMd5;
  int userType = 1;
  int lang = 1033;
  std::string fullName;
};
// Inserts the account; 0 on failure (name or e-mail taken).
int64_t CreateUserRecord(Db& db, const NewUser& user);

// Integers the client keeps in 32 bits.
int64_t ClampToInt32(int64_t value);

}  // namespace zerva::server
