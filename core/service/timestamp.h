// Date and time texts the service receives.
#pragma once

#include <string>

#include "core/host/clock.h"

namespace pelorin {

// The local date and time to the second as "YYYY-MM-DD HH:MM:SS"; at exactly
// midnight the time part is left out, as a spreadsheet's default date
// conversion does.
std::string FormatTimestamp(const LocalDateTime& when);

}  // namespace pelorin
