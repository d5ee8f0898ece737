// Whether a time asked for a scheduled send can be one: a real calendar
// date and time of day, still ahead of the clock.
#pragma once

#include "core/host/clock.h"

namespace pelorin {

// A date the calendar has (no 30 February; 29 February in leap years only),
// hours 0-23, minutes and seconds 0-59.
bool IsRealDateTime(const LocalDateTime& when);

// `when` comes after `now`.
bool IsLater(const LocalDateTime& when, const LocalDateTime& now);

}  // namespace pelorin
