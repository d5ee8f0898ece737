// The machine's network interfaces as getifaddrs lists them.
#pragma once

#include <string>
#include <vector>

#include "core/host/network_interfaces.h"

struct ifaddrs;

namespace pelorin::posix {

class PosixNetworkInterfaces : public NetworkInterfaces {
 public:
  // Throws std::runtime_error when the list cannot be read.
  std::vector<std::string> FirstIpv4AddressPerInterface() const override;
};

// One dotted address per interface that has an IPv4 address, in the order the
// interfaces first appear; loopback interfaces and 127.0.0.0/8 addresses are
// left out, since the service must be told an address it can see.
std::vector<std::string> FirstIpv4AddressPerInterface(const ifaddrs* list);

}  // namespace pelorin::posix
