// The adapters as IP Helper lists them, each with the first address of its
// address list.
#pragma once

#include <string>
#include <vector>

#include "core/host/network_interfaces.h"

namespace pelorin::win32 {

class IpHelperNetworkInterfaces : public NetworkInterfaces {
 public:
  // In GetAdaptersInfo's order; an adapter without an address gives "0.0.0.0"
  // as IP Helper reports it. Throws when the list cannot be read.
  std::vector<std::string> FirstIpv4AddressPerInterface() const override;
};

}  // namespace pelorin::win32
