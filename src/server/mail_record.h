// The mails the service stored instead of sending them, as the control endpoint lists them for
// tests: one line per mail, oldest first.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "server/server_db.h"

namespace zerva::server {

// The identifier of the user's album whose address path ("/" + serverDir, ending there or
// before "/", "?", "#" or a blank) the text holds; 0 when none does.
int64_t AlbumNamedInText(Db& db, int64_t userId, std::string_view text);

//   mail <id> <kind> <userId> <userName> <albumId> <from> <to> <subject> <message> <created>
// every text percent-encoded; only mails with an identifier above `since`. The caller holds
// the database's lock.
std::string SerializeMails(Db& db, int64_t since);

}  // namespace zerva::server
