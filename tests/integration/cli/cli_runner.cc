#include "tests/integration/cli/cli_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace pelorin::testing {
namespace {

// Reads both pipes until they close, feeding stdin first; kills the child
// when it runs past the deadline.
void Collect(pid_t pid, int in_fd, int out_fd, int err_fd, const std::string& input,
             std::chrono::steady_clock::time_point deadline,
             const std::optional<CliSignal>& signal_at, CliResult& result) {
  const auto started = std::chrono::steady_clock::now();
  bool signalled = false;
  std::size_t written = 0;
  if (input.empty()) {
    close(in_fd);
    in_fd = -1;
  }
  char buffer[65536];
  while (out_fd >= 0 || err_fd >= 0) {
    pollfd fds[3] = {{out_fd, POLLIN, 0}, {err_fd, POLLIN, 0}, {in_fd, POLLOUT, 0}};
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    const int wait_ms = static_cast<int>(std::clamp<std::int64_t>(left.count(), 0, 200));
    if (poll(fds, 3, wait_ms) < 0) continue;
    if (std::chrono::steady_clock::now() > deadline) {
      kill(pid, SIGKILL);
      break;
    }
    if (signal_at && !signalled &&
        std::chrono::steady_clock::now() - started >= signal_at->after) {
      kill(pid, signal_at->number);
      signalled = true;
    }
    if (in_fd >= 0 && (fds[2].revents & (POLLOUT | POLLERR | POLLHUP))) {
      ssize_t n = write(in_fd, input.data() + written, input.size() - written);
      if (n > 0) written += static_cast<std::size_t>(n);
      if (n <= 0 || written == input.size()) {
        close(in_fd);
        in_fd = -1;
      }
    }
    int* fd_of[2] = {&out_fd, &err_fd};
    std::string* text_of[2] = {&result.out, &result.err};
    for (int i = 0; i < 2; ++i) {
      if (*fd_of[i] < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      ssize_t n = read(*fd_of[i], buffer, sizeof buffer);
      if (n > 0) {
        text_of[i]->append(buffer, static_cast<std::size_t>(n));
      } else {
        close(*fd_of[i]);
        *fd_of[i] = -1;
      }
    }
  }
  if (in_fd >= 0) close(in_fd);
}

}  // namespace

CliRunner::CliRunner() {
  std::string pattern =
      (std::filesystem::temp_directory_path() / "pelorin-cli-test.XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  dir_ = pattern;
  std::filesystem::create_directories(dir_ + "/run");
  std::filesystem::permissions(dir_ + "/run", std::filesystem::perms::owner_all);
}

CliRunner::~CliRunner() {
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

CliResult CliRunner::Run(const std::vector<std::string>& args, const std::string& input) const {
  return Run(args, input, std::nullopt);
}

CliResult CliRunner::Run(const std::vector<std::string>& args, const std::string& input,
                         const std::optional<CliSignal>& signal_at) const {
  return RunUntil(args, input, std::chrono::steady_clock::now() + std::chrono::seconds(120),
                  signal_at);
}

CliResult CliRunner::RunKilledAfter(const std::vector<std::string>& args,
                                    std::chrono::milliseconds after) const {
  return RunUntil(args, "", std::chrono::steady_clock::now() + after, std::nullopt);
}

CliResult CliRunner::RunUntil(const std::vector<std::string>& args, const std::string& input,
                              std::chrono::steady_clock::time_point deadline,
                              const std::optional<CliSignal>& signal_at) const {
  int in_pipe[2], out_pipe[2], err_pipe[2];
  if (pipe(in_pipe) != 0 || pipe(out_pipe) != 0 || pipe(err_pipe) != 0) {
    throw std::runtime_error("pipe failed");
  }
  signal(SIGPIPE, SIG_IGN);
  const std::string config = "XDG_CONFIG_HOME=" + dir_ + "/config";
  const std::string runtime = "XDG_RUNTIME_DIR=" + dir_ + "/run";
  const std::string home = "HOME=" + dir_;
  pid_t pid = fork();
  if (pid == 0) {
    dup2(in_pipe[0], 0);
    dup2(out_pipe[1], 1);
    dup2(err_pipe[1], 2);
    for (int fd : {in_pipe[0], in_pipe[1], out_pipe[0], out_pipe[1], err_pipe[0], err_pipe[1]}) {
      close(fd);
    }
    std::vector<std::string> argv_text = {PELORIN_CLI_PATH};
    argv_text.insert(argv_text.end(), args.begin(), args.end());
    std::vector<char*> argv;
    for (std::string& arg : argv_text) argv.push_back(arg.data());
    argv.push_back(nullptr);
    std::vector<std::string> env_text = {config, runtime, home, "PATH=" + path_, "LANG=C.UTF-8"};
    std::vector<char*> envp;
    for (std::string& entry : env_text) envp.push_back(entry.data());
    envp.push_back(nullptr);
    execve(argv[0], argv.data(), envp.data());
    _exit(127);
  }
  close(in_pipe[0]);
  close(out_pipe[1]);
  close(err_pipe[1]);
  CliResult result;
  Collect(pid, in_pipe[1], out_pipe[0], err_pipe[0], input, deadline, signal_at, result);
  int status = 0;
  waitpid(pid, &status, 0);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

}  // namespace pelorin::testing
