// The machine's network interfaces, as the platform lists them.
#pragma once

#include <string>
#include <vector>

namespace pelorin {

class NetworkInterfaces {
 public:
  virtual ~NetworkInterfaces() = default;
  // One entry per interface in the platform's order: its first IPv4 address
  // as dotted text, or the empty text when it has none. May throw.
  virtual std::vector<std::string> FirstIpv4AddressPerInterface() const = 0;
};

}  // namespace pelorin
