#include "platform/win32/local_clock.h"

#include <windows.h>

namespace pelorin::win32 {

LocalDateTime LocalClock::Now() const {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

}  // namespace pelorin::win32
