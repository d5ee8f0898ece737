#include "sqlite_db.h"

#include <sqlite3.h>

#include <stdexcept>

namespace pelorin::provider {
namespace {

[[noreturn]] void Fail(sqlite3* db, const std::string& what) {
  throw std::runtime_error(what + ": " + (db ? sqlite3_errmsg(db) : "no database"));
}

}  // namespace

SqliteDb::SqliteDb(const std::string& path) : path_(path) {
  if (sqlite3_open_v2(path.c_str(), &db_,
                      SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX,
                      nullptr) != SQLITE_OK) {
    std::string message = "cannot open database " + path;
    std::string reason = db_ ? sqlite3_errmsg(db_) : "out of memory";
    sqlite3_close(db_);
    db_ = nullptr;
    throw std::runtime_error(message + ": " + reason);
  }
  // Another process (the account command) may write while the server runs.
  sqlite3_busy_timeout(db_, 10000);
}

SqliteDb::~SqliteDb() { sqlite3_close(db_); }

void SqliteDb::Exec(const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db_, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : "unknown error";
    sqlite3_free(error);
    throw std::runtime_error("SQL failed on " + path_ + " (" + sql + "): " + message);
  }
}

int64_t SqliteDb::LastInsertId() const { return sqlite3_last_insert_rowid(db_); }

int SqliteDb::Changes() const { return sqlite3_changes(db_); }

SqliteStatement::SqliteStatement(SqliteDb& db, std::string sql)
    : db_(db), sql_(std::move(sql)) {
  if (sqlite3_prepare_v2(db_.handle(), sql_.c_str(), -1, &stmt_, nullptr) != SQLITE_OK) {
    Fail(db_.handle(), "cannot prepare (" + sql_ + ")");
  }
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(stmt_); }

SqliteStatement& SqliteStatement::Bind(int index, std::string_view text) {
  if (sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()),
                        SQLITE_TRANSIENT) != SQLITE_OK) {
    Fail(db_.handle(), "cannot bind parameter " + std::to_string(index) + " of (" + sql_ + ")");
  }
  return *this;
}

SqliteStatement& SqliteStatement::Bind(int index, int64_t value) {
  if (sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK) {
    Fail(db_.handle(), "cannot bind parameter " + std::to_string(index) + " of (" + sql_ + ")");
  }
  return *this;
}

bool SqliteStatement::Step() {
  int rc = sqlite3_step(stmt_);
  if (rc == SQLITE_ROW) return true;
  if (rc == SQLITE_DONE) return false;
  Fail(db_.handle(), "cannot run (" + sql_ + ")");
}

void SqliteStatement::Run() {
  while (Step()) {
  }
  Reset();
}

void SqliteStatement::Reset() {
  sqlite3_reset(stmt_);
  sqlite3_clear_bindings(stmt_);
}

std::string SqliteStatement::Text(int column) const {
  const auto* data = sqlite3_column_text(stmt_, column);
  int size = sqlite3_column_bytes(stmt_, column);
  return data ? std::string(reinterpret_cast<const char*>(data), size) : std::string();
}

int64_t SqliteStatement::Int(int column) const { return sqlite3_column_int64(stmt_, column); }

SqliteTransaction::SqliteTransaction(SqliteDb& db) : db_(db) { db_.Exec("BEGIN IMMEDIATE"); }

SqliteTransaction::~SqliteTransaction() {
  if (!done_) {
    try {
      db_.Exec("ROLLBACK");
    } catch (const std::exception&) {
      // The transaction is already gone when SQLite rolled it back itself.
    }
  }
}

void SqliteTransaction::Commit() {
  db_.Exec("COMMIT");
  done_ = true;
}

}  // namespace pelorin::provider
