#include "server_records.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

namespace zerva::test {
namespace {

// The rows of a query on the server's database with the user's name bound to its one "?";
// each row its columns as text.
std::vector<std::vector<std::string>> QueryServer(const ServerFixture& server,
                                                  const std::string& sql,
                                                  const std::string& userName) {
  std::vector<std::vector<std::string>> rows;
  sqlite3* db = nullptr;
  const std::string path = server.DataDir() + "data/zerva.db";
  if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << "cannot open " << path;
    sqlite3_close(db);
    return rows;
  }
  sqlite3_busy_timeout(db, 5000);
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    ADD_FAILURE() << sqlite3_errmsg(db);
  } else {
    sqlite3_bind_text(statement, 1, userName.c_str(), -1, SQLITE_TRANSIENT);
    while (sqlite3_step(statement) == SQLITE_ROW) {
      std::vector<std::string> row;
      for (int column = 0; column < sqlite3_column_count(statement); ++column) {
        const auto* text = sqlite3_column_text(statement, column);
        row.emplace_back(text != nullptr ? reinterpret_cast<const char*>(text) : "");
      }
      rows.push_back(std::move(row));
    }
  }
  sqlite3_finalize(statement);
  sqlite3_close(db);
  return rows;
}

}  // namespace

std::vector<std::string> StoredAddressBook(const ServerFixture& server,
                                           const std::string& userName) {
  std::vector<std::string> addresses;
  for (const auto& row : QueryServer(server,
                                     "SELECT email FROM address_book WHERE user_id = "
                                     "(SELECT id FROM users WHERE name = ?) ORDER BY email",
                                     userName)) {
    addresses.push_back(row[0]);
  }
  return addresses;
}

}  // namespace zerva::test
