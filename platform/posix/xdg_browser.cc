#include "platform/posix/xdg_browser.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <thread>
#include <utility>
#include <vector>

extern char** environ;

namespace pelorin::posix {
namespace {

// The spawn settings for a child that lives on its own: its own process
// group (a Ctrl-C at the terminal does not close the browser), no blocked
// signals, SIGPIPE back to its default, and no share of our terminal input.
class SpawnSettings {
 public:
  SpawnSettings() {
    posix_spawnattr_init(&attributes_);
    posix_spawn_file_actions_init(&actions_);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    sigaddset(&defaults, SIGPIPE);
    posix_spawnattr_setsigmask(&attributes_, &none);
    posix_spawnattr_setsigdefault(&attributes_, &defaults);
    posix_spawnattr_setpgroup(&attributes_, 0);
    posix_spawnattr_setflags(&attributes_,
                             POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF |
                                 POSIX_SPAWN_SETPGROUP);
    posix_spawn_file_actions_addopen(&actions_, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  }
  ~SpawnSettings() {
    posix_spawn_file_actions_destroy(&actions_);
    posix_spawnattr_destroy(&attributes_);
  }
  SpawnSettings(const SpawnSettings&) = delete;
  SpawnSettings& operator=(const SpawnSettings&) = delete;

  const posix_spawnattr_t* attributes() const { return &attributes_; }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }

 private:
  posix_spawnattr_t attributes_;
  posix_spawn_file_actions_t actions_;
};

void CheckAddress(const std::string& address) {
  if (address.empty()) throw std::runtime_error("there is no address to open");
  if (address.find('\0') != std::string::npos) {
    throw std::runtime_error("the address to open holds a NUL character");
  }
  // xdg-open takes a leading "-" for an option and has no "--" to stop that.
  if (address.front() == '-') {
    throw std::runtime_error("the address to open begins with \"-\": " + address);
  }
}

// Waits for the child on a thread of its own so that it leaves no zombie
// behind, however long it runs.
void ReapInBackground(pid_t child) {
  std::thread([child] {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
  }).detach();
}

}  // namespace

XdgBrowser::XdgBrowser(std::string program) : program_(std::move(program)) {}

void XdgBrowser::OpenInNewWindow(const std::string& address) { Open(address); }

void XdgBrowser::ShellOpen(const std::string& address) { Open(address); }

void XdgBrowser::Open(const std::string& address) {
  CheckAddress(address);
  std::vector<char*> argv{const_cast<char*>(program_.c_str()),
                          const_cast<char*>(address.c_str()), nullptr};
  SpawnSettings settings;
  pid_t child = 0;
  int error = ::posix_spawnp(&child, program_.c_str(), settings.actions(),
                             settings.attributes(), argv.data(), environ);
  if (error != 0) {
    throw std::runtime_error("cannot start " + program_ + ": " + std::strerror(error));
  }
  ReapInBackground(child);
}

}  // namespace pelorin::posix
