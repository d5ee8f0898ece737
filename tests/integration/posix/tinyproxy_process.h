// A real tinyproxy for one test: its own config on 127.0.0.1 and an
// ephemeral port, stopped by its process id when the test ends.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>

namespace pelorin::testing {

class TinyproxyProcess {
 public:
  // The installed program, if any (Debian puts it in /usr/bin, others in
  // /usr/sbin).
  static std::optional<std::string> InstalledProgram();

  // Starts the proxy, keeping its config and log in `directory`; throws
  // std::runtime_error when it does not come up.
  TinyproxyProcess(const std::string& program, const std::filesystem::path& directory);
  ~TinyproxyProcess();
  TinyproxyProcess(const TinyproxyProcess&) = delete;
  TinyproxyProcess& operator=(const TinyproxyProcess&) = delete;

  int port() const { return port_; }

 private:
  bool TryStart(const std::string& program, const std::filesystem::path& directory);
  bool WaitUntilListening();
  void Stop();

  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace pelorin::testing
