// Runs the `pelorin` program as a user would, in a private settings folder,
// and collects what it printed.
#pragma once

#include <chrono>
#include <optional>
#include <string>
#include <vector>

namespace pelorin::testing {

// A signal sent to the program once it has run for a while.
struct CliSignal {
  int number = 0;
  std::chrono::milliseconds after{0};
};

struct CliResult {
  int status = -1;  // the exit status, or -1 when it did not exit normally
  std::string out;
  std::string err;
};

class CliRunner {
 public:
  // Makes a fresh folder for XDG_CONFIG_HOME and XDG_RUNTIME_DIR.
  CliRunner();
  ~CliRunner();
  CliRunner(const CliRunner&) = delete;
  CliRunner& operator=(const CliRunner&) = delete;

  // Runs `pelorin args...` with `input` on stdin; stops it after a bounded
  // time.
  CliResult Run(const std::vector<std::string>& args, const std::string& input = "") const;
  // The same, sending `signal_at` once the program has run for a while.
  CliResult Run(const std::vector<std::string>& args, const std::string& input,
                const std::optional<CliSignal>& signal_at) const;
  // Runs `pelorin args...` and kills it with SIGKILL `after` its start
  // unless it ended first (status -1 when it was killed).
  CliResult RunKilledAfter(const std::vector<std::string>& args,
                           std::chrono::milliseconds after) const;

  // Folders searched before /usr/bin for programs the command starts, such
  // as a stand-in xdg-open.
  void PrependToPath(const std::string& folder) { path_ = folder + ":" + path_; }
  // Only these folders: a command then finds no desktop programs at all.
  void SetPath(const std::string& folders) { path_ = folders; }

  const std::string& dir() const { return dir_; }
  std::string config_dir() const { return dir_ + "/config/pelorin"; }

 private:
  CliResult RunUntil(const std::vector<std::string>& args, const std::string& input,
                     std::chrono::steady_clock::time_point deadline,
                     const std::optional<CliSignal>& signal_at) const;

  std::string dir_;
  std::string path_ = "/usr/bin:/bin";
};

}  // namespace pelorin::testing
