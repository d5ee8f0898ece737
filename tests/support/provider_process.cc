#include "provider_process.h"

#include <fcntl.h>
#include <httplib.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <thread>

#ifndef PELORIN_PROVIDER_PATH
#error "PELORIN_PROVIDER_PATH must name the pelorin-provider binary"
#endif

namespace pelorin::testing {
namespace {

using Clock = std::chrono::steady_clock;

std::string MakeTempDir() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "pelorin-provider-XXXXXX").string();
  if (!mkdtemp(pattern.data())) throw std::runtime_error("mkdtemp failed for " + pattern);
  return pattern;
}

// Forks and execs the provider with `args`; stdout goes to `stdout_fd`
// (or /dev/null when -1).
pid_t Spawn(const std::vector<std::string>& args, int stdout_fd) {
  std::vector<char*> argv;
  std::string program = PELORIN_PROVIDER_PATH;
  argv.push_back(program.data());
  std::vector<std::string> copies = args;
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    int out = stdout_fd >= 0 ? stdout_fd : open("/dev/null", O_WRONLY);
    dup2(out, STDOUT_FILENO);
    execv(program.c_str(), argv.data());
    _exit(127);
  }
  return pid;
}

std::string ReadAll(int fd) {
  std::string text;
  char buffer[4096];
  ssize_t got = 0;
  while ((got = read(fd, buffer, sizeof buffer)) > 0) text.append(buffer, got);
  return text;
}

}  // namespace

ProviderProcess::ProviderProcess(const std::vector<Account>& accounts,
                                 const std::vector<std::string>& serve_args)
    : dir_(MakeTempDir()),
      db_path_(dir_ + "/provider.db"),
      port_file_(dir_ + "/port") {
  for (const Account& account : accounts) AddAccount(account);
  Start(serve_args);
}

ProviderProcess::~ProviderProcess() {
  StopServer();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

int ProviderProcess::RunCommand(const std::vector<std::string>& args,
                                std::string* output) const {
  int pipe_fds[2] = {-1, -1};
  if (output && pipe2(pipe_fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
  pid_t pid = Spawn(args, output ? pipe_fds[1] : -1);
  if (output) {
    close(pipe_fds[1]);
    *output = ReadAll(pipe_fds[0]);
    close(pipe_fds[0]);
  }
  int status = 0;
  waitpid(pid, &status, 0);
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void ProviderProcess::AddAccount(const Account& account) {
  std::vector<std::string> args = {"account",  "add",
                                   "--db",     db_path_,
                                   "--id",     account.id,
                                   "--password", account.password,
                                   "--credits", std::to_string(account.credits),
                                   "--dnd",    account.dnd,
                                   "--senders", account.senders,
                                   "--sender-reply", account.sender_reply};
  if (account.first_login) args.push_back("--first-login");
  if (int code = RunCommand(args); code != 0) {
    throw std::runtime_error("pelorin-provider account add --id " + account.id +
                             " failed with exit code " + std::to_string(code));
  }
}

void ProviderProcess::Start(const std::vector<std::string>& serve_args) {
  std::filesystem::remove(port_file_);
  std::vector<std::string> args = {"serve", "--db", db_path_, "--listen", "127.0.0.1:0",
                                   "--port-file", port_file_};
  args.insert(args.end(), serve_args.begin(), serve_args.end());
  pid_ = Spawn(args, -1);
  const auto deadline = Clock::now() + std::chrono::seconds(10);
  while (Clock::now() < deadline) {
    std::ifstream in(port_file_);
    std::string line;
    if (in && std::getline(in, line) && !line.empty()) {
      host_port_ = line;
      port_ = std::stoi(line.substr(line.rfind(':') + 1));
      return;
    }
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;
      throw std::runtime_error("pelorin-provider serve exited before it was ready");
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  StopServer();
  throw std::runtime_error("pelorin-provider serve wrote no port file within 10 s");
}

int ProviderProcess::StopServer() {
  if (pid_ <= 0) return -1;
  kill(pid_, SIGTERM);
  int status = 0;
  const auto deadline = Clock::now() + std::chrono::seconds(5);
  while (waitpid(pid_, &status, WNOHANG) == 0) {
    if (Clock::now() > deadline) {
      kill(pid_, SIGKILL);
      waitpid(pid_, &status, 0);
      break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  pid_ = -1;
  return status;
}

std::string ProviderProcess::Admin(const std::string& path_and_query, bool post) {
  httplib::Client client("127.0.0.1", port_);
  client.set_read_timeout(std::chrono::seconds(10));
  client.set_url_encode(false);
  httplib::Result result = post ? client.Post(path_and_query.c_str())
                                : client.Get(path_and_query.c_str());
  if (!result) {
    throw std::runtime_error("provider " + path_and_query + " failed: " +
                             httplib::to_string(result.error()));
  }
  if (result->status != 200) {
    throw std::runtime_error("provider " + path_and_query + " answered " +
                             std::to_string(result->status) + ": " + result->body);
  }
  return result->body;
}

void ProviderProcess::SetFault(const std::string& query) { Admin("/admin/fault?" + query, true); }

void ProviderProcess::ClearFaults() { Admin("/admin/clear", true); }

void ProviderProcess::SetUpdate(const std::string& kind, const std::string& url) {
  Admin("/admin/update?kind=" + httplib::detail::encode_query_param(kind) +
            "&url=" + httplib::detail::encode_query_param(url),
        true);
}

std::string ProviderProcess::RunsJson(const std::string& uid) {
  return Admin(uid.empty() ? "/runs.json"
                           : "/runs.json?uid=" + httplib::detail::encode_query_param(uid),
               false);
}

}  // namespace pelorin::testing
