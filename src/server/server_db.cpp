#include "server/server_db.h"

#include <cstdlib>

namespace zerva::server {

int64_t SqlValue::Int() const {
  switch (kind_) {
    case Kind::kInt:
      return int_;
    case Kind::kReal:
      return static_cast<int64_t>(real_);
    case Kind::kText:
      return std::strtoll(text_.c_str(), nullptr, 10);
    default:
      return 0;
  }
}

double SqlValue::Real() const {
  switch (kind_) {
    case Kind::kInt:
      return static_cast<double>(int_);
    case Kind::kReal:
      return real_;
    case Kind::kText:
      return std::strtod(text_.c_str(), nullptr);
    default:
      return 0;
  }
}

std::string SqlValue::Text() const {
  switch (kind_) {
    case Kind::kInt:
      return std::to_string(int_);
    case Kind::kReal:
      return std::to_string(real_);
    case Kind::kText:
      return text_;
    default:
      return {};
  }
}

Db::~Db() {
  for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
  if (db_) sqlite3_close(db_);
}

bool Db::Open(const std::string& path, std::string* error) {
  const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;
  if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
    *error = db_ ? sqlite3_errmsg(db_) : "cannot open database";
    if (db_) sqlite3_close(db_);
    db_ = nullptr;
    return false;
  }
  sqlite3_busy_timeout(db_, 5000);
  // WAL without a sync per commit keeps block uploads fast; a crash loses at most the last
  // commits, never consistency.
  if (!ExecScript("PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA foreign_keys=ON;")) {
    *error = lastError_;
    return false;
  }
  return true;
}

bool Db::ExecScript(const std::string& sql) {
  char* message = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
    lastError_ = message ? message : "sqlite error";
    sqlite3_free(message);
    return false;
  }
  return true;
}

sqlite3_stmt* Db::Prepare(std::string_view sql) {
  auto it = statements_.find(sql);
  if (it != statements_.end()) {
    sqlite3_reset(it->second);
    sqlite3_clear_bindings(it->second);
    return it->second;
  }
  sqlite3_stmt* stmt = nullptr;
  if (sqlite3_prepare_v3(db_, sql.data(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                         &stmt, nullptr) != SQLITE_OK) {
    lastError_ = sqlite3_errmsg(db_);
    return nullptr;
  }
  statements_.emplace(std::string(sql), stmt);
  return stmt;
}

bool Db::Bind(sqlite3_stmt* stmt, std::initializer_list<SqlValue> args) {
  int i = 1;
  for (const SqlValue& v : args) {
    int rc = SQLITE_OK;
    switch (v.kind()) {
      case SqlValue::Kind::kNull:
        rc = sqlite3_bind_null(stmt, i);
        break;
      case SqlValue::Kind::kInt:
        rc = sqlite3_bind_int64(stmt, i, v.Int());
        break;
      case SqlValue::Kind::kReal:
        rc = sqlite3_bind_double(stmt, i, v.Real());
        break;
      case SqlValue::Kind::kText: {
        const std::string text = v.Text();
        rc = sqlite3_bind_text(stmt, i, text.data(), static_cast<int>(text.size()),
                               SQLITE_TRANSIENT);
        break;
      }
    }
    if (rc != SQLITE_OK) {
      lastError_ = sqlite3_errmsg(db_);
      return false;
    }
    ++i;
  }
  return true;
}

bool Db::Exec(std::string_view sql, std::initializer_list<SqlValue> args) {
  sqlite3_stmt* stmt = Prepare(sql);
  if (!stmt || !Bind(stmt, args)) return false;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
  }
  const bool ok = rc == SQLITE_DONE;
  if (!ok) lastError_ = sqlite3_errmsg(db_);
  sqlite3_reset(stmt);
  return ok;
}

std::vector<SqlRow> Db::Query(std::string_view sql, std::initializer_list<SqlValue> args) {
  std::vector<SqlRow> rows;
  sqlite3_stmt* stmt = Prepare(sql);
  if (!stmt || !Bind(stmt, args)) return rows;
  int rc;
  while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
    SqlRow row;
    const int n = sqlite3_column_count(stmt);
    row.reserve(static_cast<size_t>(n));
    for (int c = 0; c < n; ++c) {
      switch (sqlite3_column_type(stmt, c)) {
        case SQLITE_INTEGER:
          row.emplace_back(static_cast<long long>(sqlite3_column_int64(stmt, c)));
          break;
        case SQLITE_FLOAT:
          row.emplace_back(sqlite3_column_double(stmt, c));
          break;
        case SQLITE_NULL:
          row.emplace_back();
          break;
        default: {
          const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt, c));
          row.emplace_back(
              std::string(p ? p : "", static_cast<size_t>(sqlite3_column_bytes(stmt, c))));
        }
      }
    }
    rows.push_back(std::move(row));
  }
  if (rc != SQLITE_DONE) lastError_ = sqlite3_errmsg(db_);
  sqlite3_reset(stmt);
  return rows;
}

std::optional<SqlRow> Db::QueryOne(std::string_view sql, std::initializer_list<SqlValue> args) {
  std::vector<SqlRow> rows = Query(sql, args);
  if (rows.empty()) return std::nullopt;
  return std::move(rows.front());
}

int64_t Db::QueryInt(std::string_view sql, std::initializer_list<SqlValue> args, int64_t fallback) {
  std::optional<SqlRow> row = QueryOne(sql, args);
  if (!row || row->empty() || (*row)[0].kind() == SqlValue::Kind::kNull) return fallback;
  return (*row)[0].Int();
}

int64_t Db::LastInsertId() const {
  return sqlite3_last_insert_rowid(db_);
}
int Db::Changes() const {
  return sqlite3_changes(db_);
}

Transaction::Transaction(Db& db) : db_(db) {
  ok_ = db_.Exec("BEGIN IMMEDIATE");
}

Transaction::~Transaction() {
  if (ok_ && !done_) db_.Exec("ROLLBACK");
}

bool Transaction::Commit() {
  if (!ok_ || done_) return false;
  done_ = true;
  if (db_.Exec("COMMIT")) return true;
  db_.Exec("ROLLBACK");
  return false;
}

}  // namespace zerva::server
