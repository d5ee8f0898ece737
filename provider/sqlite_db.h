// Thin RAII wrappers over the SQLite C API: a connection and a prepared
// statement. Every failure throws std::runtime_error naming the SQL.
#ifndef PELORIN_PROVIDER_SQLITE_DB_H_
#define PELORIN_PROVIDER_SQLITE_DB_H_

#include <cstdint>
#include <string>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

namespace pelorin::provider {

class SqliteDb {
 public:
  explicit SqliteDb(const std::string& path);
  ~SqliteDb();
  SqliteDb(const SqliteDb&) = delete;
  SqliteDb& operator=(const SqliteDb&) = delete;

  // Runs one or more statements that produce no rows.
  void Exec(const std::string& sql);
  int64_t LastInsertId() const;
  // Rows changed by the last finished statement.
  int Changes() const;
  sqlite3* handle() const { return db_; }

 private:
  sqlite3* db_ = nullptr;
  std::string path_;
};

class SqliteStatement {
 public:
  SqliteStatement(SqliteDb& db, std::string sql);
  ~SqliteStatement();
  SqliteStatement(const SqliteStatement&) = delete;
  SqliteStatement& operator=(const SqliteStatement&) = delete;

  // Parameters are 1-based, as in SQLite.
  SqliteStatement& Bind(int index, std::string_view text);
  SqliteStatement& Bind(int index, int64_t value);
  // Advances to the next row; false when done.
  bool Step();
  // Runs a statement that yields no rows and resets it for reuse.
  void Run();
  void Reset();

  std::string Text(int column) const;
  int64_t Int(int column) const;

 private:
  SqliteDb& db_;
  sqlite3_stmt* stmt_ = nullptr;
  std::string sql_;
};

// Runs the body between BEGIN IMMEDIATE and COMMIT; rolls back on throw.
class SqliteTransaction {
 public:
  explicit SqliteTransaction(SqliteDb& db);
  ~SqliteTransaction();
  void Commit();

 private:
  SqliteDb& db_;
  bool done_ = false;
};

}  // namespace pelorin::provider

#endif  // PELORIN_PROVIDER_SQLITE_DB_H_
