#include "core/messaging/run_file_name.h"

namespace pelorin {

std::string RunFileName(std::string_view user_id, const LocalDateTime& started) {
  std::string name(user_id);
  name += '_';
  for (int part :
       {started.year, started.month, started.day, started.hour, started.minute, started.second}) {
    name += std::to_string(part);
  }
  return name;
}

}  // namespace pelorin
