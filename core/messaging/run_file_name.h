// The name a send run gives the service for all of its packets.
#pragma once

#include <string>
#include <string_view>

#include "core/host/clock.h"

namespace pelorin {

// The user id, "_", then year, month, day, hour, minute and second of one
// clock reading, each in decimal without leading zeros or separators:
// user u on 5 March 2012 at 09:04:07 gives u_201235947.
std::string RunFileName(std::string_view user_id, const LocalDateTime& started);

}  // namespace pelorin
