// Catches SIGINT and SIGTERM while a send runs, so that the run can stop
// after the packet in flight instead of dying in the middle of it.
#pragma once

namespace pelorin::cli {

class InterruptWatch {
 public:
  // Installs the handlers; the destructor puts the earlier ones back.
  InterruptWatch();
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  // The signal that arrived (SIGINT or SIGTERM), or 0.
  int signal() const;
  // The exit status for it: 128 and the signal's number (130, 143).
  int ExitStatus() const { return 128 + signal(); }
};

}  // namespace pelorin::cli
