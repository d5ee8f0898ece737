// The local wall clock, injected so that no rule reads the real time itself.
#pragma once

namespace pelorin {

// A local date and time of day, to the second, as the user's clock shows it.
struct LocalDateTime {
  int year = 1970;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;   // 0..23
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalDateTime Now() const = 0;
};

}  // namespace pelorin
