// ProviderStore keeps the provider's accounts and the message runs it has
// received in one SQLite database (WAL). All methods are thread-safe; a
// packet is stored in a single transaction, so a refused packet leaves
// nothing behind.
#ifndef PELORIN_PROVIDER_PROVIDER_STORE_H_
#define PELORIN_PROVIDER_PROVIDER_STORE_H_

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "compose_records.h"

namespace pelorin::provider {

class SqliteDb;

// How GetSenderID answers for an account.
inline constexpr const char* kSenderReplyForms[] = {"code-list", "list", "code"};

struct Account {
  std::string id;
  std::string password;
  int64_t credits = 0;
  std::string dnd = "0";
  std::string senders;  // comma-separated, as GetSenderID lists them
  std::string sender_reply = "code-list";
  bool first_login = false;
};

// The fields `account set` changes; unset ones stay as stored.
struct AccountChanges {
  std::optional<std::string> password;
  std::optional<int64_t> credits;
  std::optional<std::string> dnd;
  std::optional<std::string> senders;
  std::optional<std::string> sender_reply;
  std::optional<bool> first_login;
};

// One Compose upload, already decoded and split.
struct Packet {
  std::string uid, filename, sid, catid, ip, schedule, flash, state;
  std::vector<MessageRecord> records;
};

enum class PacketOutcome { kAccepted, kUnknownUser, kInsufficientCredit, kRunClosed };

struct Run {
  std::string uid, filename, sid, catid, ip, schedule, flash;
  bool closed = false;
  std::vector<std::string> states;  // one per packet, in arrival order
  std::vector<int64_t> packet_records;  // records of each packet, same order
  std::vector<MessageRecord> records;  // all packets' records, in order
};

class ProviderStore {
 public:
  // Opens or creates the database at `path`; throws std::runtime_error.
  explicit ProviderStore(const std::string& path);
  ~ProviderStore();

  // Throws when the id is taken.
  void AddAccount(const Account& account);
  // False when there is no such account.
  bool ChangeAccount(const std::string& id, const AccountChanges& changes);
  bool RemoveAccount(const std::string& id);
  std::optional<Account> FindAccount(const std::string& id);
  std::vector<Account> ListAccounts();

  // Charges one credit per record and appends the packet to the run keyed
  // by (uid, filename), creating it on its first packet. "START" keeps the
  // run open; "END" and "ALL" close it.
  PacketOutcome StorePacket(const Packet& packet);

  // Runs in the order they were opened; all of them when `uid` is empty.
  std::vector<Run> ListRuns(const std::string& uid = {});

 private:
  std::mutex mutex_;
  std::unique_ptr<SqliteDb> db_;
};

}  // namespace pelorin::provider

#endif  // PELORIN_PROVIDER_PROVIDER_STORE_H_
