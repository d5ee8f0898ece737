// A run lock that records what was asked of it; it can play a lock that
// another process holds, so that the waiting path is taken.
#pragma once

#include <string>
#include <vector>

#include "core/host/run_lock.h"

namespace pelorin::testing {

class FakeRunLock : public RunLock {
 public:
  void Acquire(std::string_view user_id, const std::function<void()>& on_wait) override {
    if (held_elsewhere && on_wait) on_wait();
    events.push_back("acquire " + std::string(user_id));
  }
  void Release() override { events.push_back("release"); }

  bool held_elsewhere = false;
  std::vector<std::string> events;
};

}  // namespace pelorin::testing
