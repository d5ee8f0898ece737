// The machine's local clock.
#pragma once

#include "core/host/clock.h"

namespace pelorin::posix {

class SystemClock : public Clock {
 public:
  LocalDateTime Now() const override;
};

}  // namespace pelorin::posix
