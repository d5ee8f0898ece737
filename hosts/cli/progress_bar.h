// A one-line progress bar on a terminal's stderr for long work; silent when
// stderr is not a terminal, so scripts and logs see only the results.
#pragma once

#include <cstdint>
#include <ostream>
#include <string>

namespace pelorin::cli {

class ProgressBar {
 public:
  ProgressBar(std::ostream& out, bool enabled, std::string label)
      : out_(out), enabled_(enabled), label_(std::move(label)) {}
  ~ProgressBar() { Finish(); }

  // Redraws only when the shown percentage changes, so a million updates
  // cost a hundred writes.
  void Update(std::int64_t done, std::int64_t total);
  // Ends the line; the next output starts on a fresh one.
  void Finish();

  static bool StderrIsTerminal();

 private:
  std::ostream& out_;
  bool enabled_;
  std::string label_;
  int shown_percent_ = -1;
  bool drawn_ = false;
};

}  // namespace pelorin::cli
