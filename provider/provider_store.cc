#include "provider_store.h"

#include <map>
#include <stdexcept>

#include "sqlite_db.h"

namespace pelorin::provider {
namespace {

constexpr const char* kSchema = R"sql(
PRAGMA journal_mode = WAL;
PRAGMA synchronous = NORMAL;
PRAGMA foreign_keys = ON;
CREATE TABLE IF NOT EXISTS accounts (
  id TEXT PRIMARY KEY, password TEXT NOT NULL, credits INTEGER NOT NULL,
  dnd TEXT NOT NULL, senders TEXT NOT NULL, sender_reply TEXT NOT NULL,
  first_login INTEGER NOT NULL);
CREATE TABLE IF NOT EXISTS runs (
  id INTEGER PRIMARY KEY, uid TEXT NOT NULL, filename TEXT NOT NULL,
  sid TEXT NOT NULL, catid TEXT NOT NULL, ip TEXT NOT NULL,
  schedule TEXT NOT NULL, flash TEXT NOT NULL, closed INTEGER NOT NULL,
  UNIQUE (uid, filename));
CREATE TABLE IF NOT EXISTS packets (
  id INTEGER PRIMARY KEY, run_id INTEGER NOT NULL REFERENCES runs (id),
  seq INTEGER NOT NULL, state TEXT NOT NULL, record_count INTEGER NOT NULL,
  UNIQUE (run_id, seq));
CREATE TABLE IF NOT EXISTS records (
  packet_id INTEGER NOT NULL REFERENCES packets (id), idx INTEGER NOT NULL,
  mobile TEXT NOT NULL, message TEXT NOT NULL,
  PRIMARY KEY (packet_id, idx)) WITHOUT ROWID;
)sql";

Account ReadAccount(const SqliteStatement& row) {
  return Account{row.Text(0), row.Text(1), row.Int(2), row.Text(3),
                 row.Text(4), row.Text(5), row.Int(6) != 0};
}

constexpr const char* kAccountColumns =
    "id, password, credits, dnd, senders, sender_reply, first_login";

}  // namespace

ProviderStore::ProviderStore(const std::string& path)
    : db_(std::make_unique<SqliteDb>(path)) {
  db_->Exec(kSchema);
}

ProviderStore::~ProviderStore() = default;

void ProviderStore::AddAccount(const Account& account) {
  std::lock_guard lock(mutex_);
  SqliteStatement find(*db_, "SELECT 1 FROM accounts WHERE id = ?");
  if (find.Bind(1, account.id).Step()) {
    throw std::runtime_error("account '" + account.id + "' already exists");
  }
  SqliteStatement insert(*db_, std::string("INSERT INTO accounts (") + kAccountColumns +
                                   ") VALUES (?, ?, ?, ?, ?, ?, ?)");
  insert.Bind(1, account.id).Bind(2, account.password).Bind(3, account.credits);
  insert.Bind(4, account.dnd).Bind(5, account.senders).Bind(6, account.sender_reply);
  insert.Bind(7, int64_t{account.first_login});
  insert.Run();
}

bool ProviderStore::ChangeAccount(const std::string& id, const AccountChanges& changes) {
  std::lock_guard lock(mutex_);
  SqliteTransaction transaction(*db_);
  SqliteStatement find(*db_, std::string("SELECT ") + kAccountColumns +
                                 " FROM accounts WHERE id = ?");
  if (!find.Bind(1, id).Step()) return false;
  Account account = ReadAccount(find);
  find.Reset();  // no read left open at COMMIT
  account.password = changes.password.value_or(account.password);
  account.credits = changes.credits.value_or(account.credits);
  account.dnd = changes.dnd.value_or(account.dnd);
  account.senders = changes.senders.value_or(account.senders);
  account.sender_reply = changes.sender_reply.value_or(account.sender_reply);
  account.first_login = changes.first_login.value_or(account.first_login);
  SqliteStatement update(*db_,
                         "UPDATE accounts SET password = ?, credits = ?, dnd = ?, senders = ?,"
                         " sender_reply = ?, first_login = ? WHERE id = ?");
  update.Bind(1, account.password).Bind(2, account.credits).Bind(3, account.dnd);
  update.Bind(4, account.senders).Bind(5, account.sender_reply);
  update.Bind(6, int64_t{account.first_login}).Bind(7, id);
  update.Run();
  transaction.Commit();
  return true;
}

bool ProviderStore::RemoveAccount(const std::string& id) {
  std::lock_guard lock(mutex_);
  SqliteStatement remove(*db_, "DELETE FROM accounts WHERE id = ?");
  remove.Bind(1, id).Run();
  return db_->Changes() > 0;
}

std::optional<Account> ProviderStore::FindAccount(const std::string& id) {
  std::lock_guard lock(mutex_);
  SqliteStatement find(*db_, std::string("SELECT ") + kAccountColumns +
                                 " FROM accounts WHERE id = ?");
  if (!find.Bind(1, id).Step()) return std::nullopt;
  return ReadAccount(find);
}

std::vector<Account> ProviderStore::ListAccounts() {
  std::lock_guard lock(mutex_);
  SqliteStatement list(*db_, std::string("SELECT ") + kAccountColumns +
                                 " FROM accounts ORDER BY id");
  std::vector<Account> accounts;
  while (list.Step()) accounts.push_back(ReadAccount(list));
  return accounts;
}

PacketOutcome ProviderStore::StorePacket(const Packet& packet) {
  std::lock_guard lock(mutex_);
  SqliteTransaction transaction(*db_);

  SqliteStatement credit(*db_, "SELECT credits FROM accounts WHERE id = ?");
  if (!credit.Bind(1, packet.uid).Step()) return PacketOutcome::kUnknownUser;
  const int64_t credits = credit.Int(0);
  // A statement left on a row keeps its read open past COMMIT, and while
  // any read is open the write-ahead log is never checkpointed: it would
  // grow by every record ever stored.
  credit.Reset();

  SqliteStatement find_run(*db_, "SELECT id, closed FROM runs WHERE uid = ? AND filename = ?");
  int64_t run_id = 0;
  if (find_run.Bind(1, packet.uid).Bind(2, packet.filename).Step()) {
    if (find_run.Int(1) != 0) return PacketOutcome::kRunClosed;
    run_id = find_run.Int(0);
  }
  find_run.Reset();
  const auto cost = static_cast<int64_t>(packet.records.size());
  if (cost > credits) return PacketOutcome::kInsufficientCredit;

  if (run_id == 0) {
    SqliteStatement insert_run(
        *db_,
        "INSERT INTO runs (uid, filename, sid, catid, ip, schedule, flash, closed)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, 0)");
    insert_run.Bind(1, packet.uid).Bind(2, packet.filename).Bind(3, packet.sid);
    insert_run.Bind(4, packet.catid).Bind(5, packet.ip).Bind(6, packet.schedule);
    insert_run.Bind(7, packet.flash).Run();
    run_id = db_->LastInsertId();
  }

  SqliteStatement insert_packet(
      *db_,
      "INSERT INTO packets (run_id, seq, state, record_count) VALUES"
      " (?, (SELECT COUNT(*) + 1 FROM packets WHERE run_id = ?), ?, ?)");
  insert_packet.Bind(1, run_id).Bind(2, run_id).Bind(3, packet.state).Bind(4, cost).Run();
  const int64_t packet_id = db_->LastInsertId();

  SqliteStatement insert_record(
      *db_, "INSERT INTO records (packet_id, idx, mobile, message) VALUES (?, ?, ?, ?)");
  for (size_t i = 0; i < packet.records.size(); ++i) {
    insert_record.Bind(1, packet_id).Bind(2, static_cast<int64_t>(i));
    insert_record.Bind(3, packet.records[i].mobile).Bind(4, packet.records[i].message);
    insert_record.Run();
  }

  SqliteStatement charge(*db_, "UPDATE accounts SET credits = credits - ? WHERE id = ?");
  charge.Bind(1, cost).Bind(2, packet.uid).Run();
  if (packet.state != "START") {
    SqliteStatement close(*db_, "UPDATE runs SET closed = 1 WHERE id = ?");
    close.Bind(1, run_id).Run();
  }
  transaction.Commit();
  return PacketOutcome::kAccepted;
}

std::vector<Run> ProviderStore::ListRuns(const std::string& uid) {
  std::lock_guard lock(mutex_);
  SqliteStatement runs(*db_,
                       "SELECT id, uid, filename, sid, catid, ip, schedule, flash, closed"
                       " FROM runs WHERE ?1 = '' OR uid = ?1 ORDER BY id");
  runs.Bind(1, uid);
  std::vector<Run> result;
  std::map<int64_t, size_t> index_of_run;
  while (runs.Step()) {
    index_of_run[runs.Int(0)] = result.size();
    result.push_back(Run{runs.Text(1), runs.Text(2), runs.Text(3), runs.Text(4),
                         runs.Text(5), runs.Text(6), runs.Text(7), runs.Int(8) != 0,
                         {}, {}});
  }
  SqliteStatement states(*db_, "SELECT run_id, state FROM packets ORDER BY run_id, seq");
  while (states.Step()) {
    auto it = index_of_run.find(states.Int(0));
    if (it != index_of_run.end()) result[it->second].states.push_back(states.Text(1));
  }
  SqliteStatement records(*db_,
                          "SELECT p.run_id, r.mobile, r.message FROM records r"
                          " JOIN packets p ON p.id = r.packet_id ORDER BY p.run_id, p.seq, r.idx");
  while (records.Step()) {
    auto it = index_of_run.find(records.Int(0));
    if (it != index_of_run.end()) {
      result[it->second].records.push_back({records.Text(1), records.Text(2)});
    }
  }
  return result;
}

}  // namespace pelorin::provider
