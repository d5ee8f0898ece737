// The address of this machine that the service is told about.
#pragma once

#include <string>
#include <string_view>

#include "core/host/network_interfaces.h"

namespace pelorin {

// The first interface's first IPv4 address; an interface without an address
// is skipped, 0.0.0.0 is kept. The empty text when there is none or the list
// cannot be read.
std::string strGetLocalIP(const NetworkInterfaces& interfaces);

// The text up to its first NUL character.
std::string strTrimNull(std::string_view text);

}  // namespace pelorin
