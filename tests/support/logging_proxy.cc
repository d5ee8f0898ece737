#include "tests/support/logging_proxy.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

extern char** environ;

namespace pelorin::testing {
namespace {

// "Connect" is the level at which tinyproxy logs each request line.
void WriteConfig(const std::filesystem::path& file, int port, const std::filesystem::path& log) {
  std::ofstream config(file);
  config << "Port " << port << "\n"
         << "Listen 127.0.0.1\n"
         << "Allow 127.0.0.1\n"
         << "Timeout 10\n"
         << "MaxClients 16\n"
         << "LogLevel Connect\n"
         << "LogFile \"" << log.string() << "\"\n";
}

sockaddr_in Loopback(int port) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  return address;
}

bool Accepts(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_in address = Loopback(port);
  bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

constexpr std::string_view kRequestMark = "]: Request (file descriptor ";

}  // namespace

int UnusedLoopbackPort() {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) throw std::runtime_error("socket failed");
  sockaddr_in address = Loopback(0);
  socklen_t length = sizeof address;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(fd);
    throw std::runtime_error("cannot find a free loopback port");
  }
  ::close(fd);
  return ntohs(address.sin_port);
}

int UnusedFourDigitLoopbackPort() {
  // Start somewhere different in each process so parallel tests rarely meet.
  const int start = 2000 + static_cast<int>(::getpid() % 7000);
  for (int i = 0; i < 8000; ++i) {
    const int port = 2000 + (start - 2000 + i) % 8000;
    int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    sockaddr_in address = Loopback(port);
    bool free = ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    if (free) return port;
  }
  throw std::runtime_error("no free loopback port between 2000 and 9999");
}

std::optional<std::string> LoggingProxy::InstalledProgram() {
  for (const char* path : {"/usr/bin/tinyproxy", "/usr/sbin/tinyproxy"}) {
    if (::access(path, X_OK) == 0) return std::string(path);
  }
  return std::nullopt;
}

LoggingProxy::LoggingProxy(const std::string& program, const std::filesystem::path& directory)
    : directory_(directory), log_(directory / "tinyproxy.log") {
  // The free port found may be taken before tinyproxy binds it: try again.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (TryStart(program)) return;
  }
  throw std::runtime_error("tinyproxy did not start; see " +
                           (directory_ / "tinyproxy.out").string());
}

LoggingProxy::~LoggingProxy() { Stop(); }

std::vector<std::string> LoggingProxy::RequestLines() const {
  std::vector<std::string> lines;
  std::ifstream in(log_);
  std::string line;
  while (std::getline(in, line)) {
    size_t mark = line.find(kRequestMark);
    if (mark == std::string::npos) continue;
    size_t colon = line.find("): ", mark);
    if (colon != std::string::npos) lines.push_back(line.substr(colon + 3));
  }
  return lines;
}

bool LoggingProxy::TryStart(const std::string& program) {
  port_ = UnusedFourDigitLoopbackPort();
  const auto config = directory_ / "tinyproxy.conf";
  const auto output = directory_ / "tinyproxy.out";
  WriteConfig(config, port_, log_);

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, output.c_str(),
                                   O_WRONLY | O_CREAT | O_APPEND, 0600);
  posix_spawn_file_actions_adddup2(&actions, STDOUT_FILENO, STDERR_FILENO);
  std::vector<std::string> args = {program, "-d", "-c", config.string()};
  std::vector<char*> argv;
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);
  int error = ::posix_spawn(&pid_, program.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (error != 0) {
    pid_ = -1;
    throw std::runtime_error("cannot start " + program);
  }
  if (WaitUntilListening()) return true;
  Stop();
  return false;
}

bool LoggingProxy::WaitUntilListening() {
  for (int i = 0; i < 500; ++i) {
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;  // it gave up, most likely on a port taken meanwhile
      return false;
    }
    if (Accepts(port_)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

void LoggingProxy::Stop() {
  if (pid_ <= 0) return;
  ::kill(pid_, SIGTERM);
  for (int i = 0; i < 300; ++i) {
    if (::waitpid(pid_, nullptr, WNOHANG) == pid_) {
      pid_ = -1;
      return;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  ::kill(pid_, SIGKILL);
  ::waitpid(pid_, nullptr, 0);
  pid_ = -1;
}

}  // namespace pelorin::testing
