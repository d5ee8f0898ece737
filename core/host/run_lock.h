// Keeps one user's send runs from overlapping, also when they are started by
// different processes: the second waits for the first to end.
#pragma once

#include <functional>
#include <string_view>

namespace pelorin {

class RunLock {
 public:
  virtual ~RunLock() = default;
  // Takes the user's lock, waiting while another holder has it; `on_wait` is
  // called once before waiting, so that a host can say why it stands still.
  // Throws std::runtime_error when the lock cannot be taken at all.
  virtual void Acquire(std::string_view user_id, const std::function<void()>& on_wait) = 0;
  virtual void Release() = 0;
};

// Holds a RunLock for one scope.
class HeldRunLock {
 public:
  HeldRunLock(RunLock& lock, std::string_view user_id, const std::function<void()>& on_wait)
      : lock_(lock) {
    lock_.Acquire(user_id, on_wait);
  }
  ~HeldRunLock() { lock_.Release(); }
  HeldRunLock(const HeldRunLock&) = delete;
  HeldRunLock& operator=(const HeldRunLock&) = delete;

 private:
  RunLock& lock_;
};

}  // namespace pelorin
