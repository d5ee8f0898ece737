// ProviderProcess runs pelorin-provider as a child process for a test: it
// makes a private database with the given accounts, starts `serve` on a free
// loopback port and stops the server again when it goes out of scope.
//
// Runs come back from RunsJson() as a JSON array of objects with uid,
// filename, sid, catid, ip, schedule, flash (the variable3 text as sent),
// closed, states, packets, packet_records (the records of each packet, in
// the order of states) and records ([{"mobile": ..., "message": ...}]).
#ifndef PELORIN_TESTS_SUPPORT_PROVIDER_PROCESS_H_
#define PELORIN_TESTS_SUPPORT_PROVIDER_PROCESS_H_

#include <sys/types.h>

#include <cstdint>
#include <string>
#include <vector>

namespace pelorin::testing {

struct ProviderAccount {
  std::string id;
  std::string password;
  int64_t credits = 1000;
  std::string dnd = "0";        // "1".."7", "10", "50" or "0"
  std::string senders;          // "A,B,C"
  std::string sender_reply = "code-list";  // "code-list", "list" or "code"
  bool first_login = false;
};

class ProviderProcess {
 public:
  using Account = ProviderAccount;

  // Starts the server; `serve_args` are added to its command line (for
  // example {"--max-body", "1024"}). Throws std::runtime_error when the
  // server does not come up within a few seconds.
  explicit ProviderProcess(const std::vector<Account>& accounts = {},
                           const std::vector<std::string>& serve_args = {});
  ~ProviderProcess();
  ProviderProcess(const ProviderProcess&) = delete;
  ProviderProcess& operator=(const ProviderProcess&) = delete;

  // "127.0.0.1:41234".
  std::string host_port() const { return host_port_; }
  int port() const { return port_; }
  const std::string& db_path() const { return db_path_; }
  pid_t pid() const { return pid_; }

  // Adds an account through the provider's own command line; works while
  // the server runs. Throws when the command fails.
  void AddAccount(const Account& account);
  // Runs `pelorin-provider <args...>` to completion and answers its exit
  // code; its standard output goes to `output` when given.
  int RunCommand(const std::vector<std::string>& args, std::string* output = nullptr) const;

  // POST /admin/fault?<query>, e.g. "page=Compose&kind=status&status=500".
  void SetFault(const std::string& query);
  void ClearFaults();
  // POST /admin/update?kind=<kind>&url=<url>.
  void SetUpdate(const std::string& kind, const std::string& url = {});
  // GET /runs.json (optionally ?uid=...).
  std::string RunsJson(const std::string& uid = {});

  // SIGTERM, a bounded wait, then SIGKILL. Answers the exit status as
  // waitpid reports it (-1 when it was not running).
  int StopServer();
  bool running() const { return pid_ > 0; }

 private:
  void Start(const std::vector<std::string>& serve_args);
  std::string Admin(const std::string& path_and_query, bool post);

  std::string dir_;
  std::string db_path_;
  std::string port_file_;
  std::string host_port_;
  int port_ = 0;
  pid_t pid_ = -1;
};

}  // namespace pelorin::testing

#endif  // PELORIN_TESTS_SUPPORT_PROVIDER_PROCESS_H_
