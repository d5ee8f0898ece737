// A clock that shows whatever time the test sets.
#pragma once

#include "core/host/clock.h"

namespace pelorin::testing {

class FakeClock : public Clock {
 public:
  LocalDateTime Now() const override { return now; }
  void SetTime(int hour, int minute, int second = 0) {
    now.hour = hour;
    now.minute = minute;
    now.second = second;
  }
  LocalDateTime now{2026, 3, 5, 14, 40, 7};
};

}  // namespace pelorin::testing
