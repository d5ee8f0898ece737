#include "core/service/timestamp.h"

#include <cstdio>

namespace pelorin {

std::string FormatTimestamp(const LocalDateTime& when) {
  char text[32];
  if (when.hour == 0 && when.minute == 0 && when.second == 0) {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", when.year, when.month, when.day);
  } else {
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", when.year, when.month,
                  when.day, when.hour, when.minute, when.second);
  }
  return text;
}

}  // namespace pelorin
