#include "tinyproxy_process.h"

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
#include <vector>

#include "local_http_server.h"

extern char** environ;

namespace pelorin::testing {
namespace {

void WriteConfig(const std::filesystem::path& file, int port,
                 const std::filesystem::path& log) {
  std::ofstream config(file);
  config << "Port " << port << "\n"
         << "Listen 127.0.0.1\n"
         << "Allow 127.0.0.1\n"
         << "Timeout 30\n"
         << "MaxClients 16\n"
         << "LogLevel Info\n"
         << "LogFile \"" << log.string() << "\"\n";
}

bool Accepts(int port) {
  int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  if (fd < 0) return false;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(static_cast<uint16_t>(port));
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bool connected = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  ::close(fd);
  return connected;
}

}  // namespace

std::optional<std::string> TinyproxyProcess::InstalledProgram() {
  for (const char* path : {"/usr/sbin/tinyproxy", "/usr/bin/tinyproxy"}) {
    if (::access(path, X_OK) == 0) return std::string(path);
  }
  return std::nullopt;
}

TinyproxyProcess::TinyproxyProcess(const std::string& program,
                                   const std::filesystem::path& directory) {
  // The free port found may be taken before tinyproxy binds it: try again.
  for (int attempt = 0; attempt < 3; ++attempt) {
    if (TryStart(program, directory)) return;
  }
  throw std::runtime_error("tinyproxy did not start; see " +
                           (directory / "tinyproxy.out").string());
}

TinyproxyProcess::~TinyproxyProcess() { Stop(); }

bool TinyproxyProcess::TryStart(const std::string& program,
                                const std::filesystem::path& directory) {
  port_ = UnusedLoopbackPort();
  const auto config = directory / "tinyproxy.conf";
  const auto output = directory / "tinyproxy.out";
  WriteConfig(config, port_, directory / "tinyproxy.log");

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

bool TinyproxyProcess::WaitUntilListening() {
  for (int i = 0; i < 500; ++i) {
    int status = 0;
    if (::waitpid(pid_, &status, WNOHANG) == pid_) {
      pid_ = -1;  // it gave up, most likely on a port taken meanwhile
      return false;
    }
    if (Accepts(port_)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

void TinyproxyProcess::Stop() {
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
