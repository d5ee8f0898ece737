// The machine's clock in local time.
#pragma once

#include "core/host/clock.h"

namespace pelorin::win32 {

class LocalClock : public Clock {
 public:
  LocalDateTime Now() const override;
};

}  // namespace pelorin::win32
