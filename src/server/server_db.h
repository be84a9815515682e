// The service's SQLite database: one connection shared by the request threads, guarded by a
// mutex that every handler holds for its whole read-check-write section, so a request never
// sees another one half done.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <initializer_list>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zerva::server {

// One bound parameter or one column value.
class SqlValue {
 public:
  enum class Kind { kNull, kInt, kReal, kText };
  SqlValue() = default;
  SqlValue(std::nullptr_t) {}
  SqlValue(int v) : kind_(Kind::kInt), int_(v) {}
  SqlValue(long v) : kind_(Kind::kInt), int_(v) {}
  SqlValue(long long v) : kind_(Kind::kInt), int_(v) {}
  SqlValue(unsigned v) : kind_(Kind::kInt), int_(v) {}
  SqlValue(bool v) : kind_(Kind::kInt), int_(v ? 1 : 0) {}
  SqlValue(double v) : kind_(Kind::kReal), real_(v) {}
  SqlValue(const char* v) : kind_(Kind::kText), text_(v) {}
  SqlValue(std::string v) : kind_(Kind::kText), text_(std::move(v)) {}
  SqlValue(std::string_view v) : kind_(Kind::kText), text_(v) {}

  Kind kind() const { return kind_; }
  int64_t Int() const;
  double Real() const;
  std::string Text() const;

 private:
  Kind kind_ = Kind::kNull;
  int64_t int_ = 0;
  double real_ = 0;
  std::string text_;
};

using SqlRow = std::vector<SqlValue>;

class Db {
 public:
  Db() = default;
  ~Db();
  Db(const Db&) = delete;
  Db& operator=(const Db&) = delete;

  bool Open(const std::string& path, std::string* error);
  // Held by a handler for its whole section; the calls below expect it to be held.
  std::unique_lock<std::mutex> Lock() { return std::unique_lock<std::mutex>(mutex_); }

  bool Exec(std::string_view sql, std::initializer_list<SqlValue> args = {});
  std::vector<SqlRow> Query(std::string_view sql, std::initializer_list<SqlValue> args = {});
  std::optional<SqlRow> QueryOne(std::string_view sql, std::initializer_list<SqlValue> args = {});
  // First column of the first row, or `fallback`.
  int64_t QueryInt(std::string_view sql, std::initializer_list<SqlValue> args, int64_t fallback);
  int64_t LastInsertId() const;
  int Changes() const;
  const std::string& LastError() const { return lastError_; }
  // Runs a script of several statements without parameters (schema).
  bool ExecScript(const std::string& sql);

 private:
  sqlite3_stmt* Prepare(std::string_view sql);
  bool Bind(sqlite3_stmt* stmt, std::initializer_list<SqlValue> args);

  sqlite3* db_ = nullptr;
  std::mutex mutex_;
  std::map<std::string, sqlite3_stmt*, std::less<>> statements_;
  std::string lastError_;
};

// Begins a transaction and rolls it back unless committed.
class Transaction {
 public:
  explicit Transaction(Db& db);
  ~Transaction();
  bool Commit();
  bool ok() const { return ok_; }

 private:
  Db& db_;
  bool ok_ = false;
  bool done_ = false;
};

}  // namespace zerva::server
