// A real tinyproxy on 127.0.0.1 for one test, logging every request it
// forwards, so a test can tell which requests went through it.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace pelorin::testing {

// A loopback port nothing listens on at the moment of asking.
int UnusedLoopbackPort();
// The same below 10000: the proxy dialog's port box takes four characters.
int UnusedFourDigitLoopbackPort();

class LoggingProxy {
 public:
  // The installed program, if any (/usr/bin on Debian, /usr/sbin elsewhere).
  static std::optional<std::string> InstalledProgram();

  // Starts the proxy on a four-digit port, with its config and log in
  // `directory`; throws
  // std::runtime_error when it does not come up.
  LoggingProxy(const std::string& program, const std::filesystem::path& directory);
  ~LoggingProxy();
  LoggingProxy(const LoggingProxy&) = delete;
  LoggingProxy& operator=(const LoggingProxy&) = delete;

  int port() const { return port_; }
  // The request lines it received, such as
  // "POST http://127.0.0.1:4000/Page.aspx?uid=a HTTP/1.1", oldest first.
  std::vector<std::string> RequestLines() const;

 private:
  bool TryStart(const std::string& program);
  bool WaitUntilListening();
  void Stop();

  std::filesystem::path directory_;
  std::filesystem::path log_;
  pid_t pid_ = -1;
  int port_ = 0;
};

}  // namespace pelorin::testing
