// Tables of the service and the base data every fresh database gets. Identifiers are never
// reused after a delete (AUTOINCREMENT): the client remembers album and photo identifiers.
#pragma once

#include <string>

#include "server/server_db.h"

namespace zerva::server {

// Creates the tables when missing; a fresh database also gets a small category tree, since a
// sign-in fails without one.
bool CreateSchema(Db& db, std::string* error);

}  // namespace zerva::server
