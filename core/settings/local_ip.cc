#include "core/settings/local_ip.h"

#include <exception>

namespace pelorin {

std::string strGetLocalIP(const NetworkInterfaces& interfaces) {
  try {
    for (const std::string& address : interfaces.FirstIpv4AddressPerInterface()) {
      std::string trimmed = strTrimNull(address);
      if (!trimmed.empty()) return trimmed;
    }
  } catch (const std::exception&) {
  }
  return {};
}

std::string strTrimNull(std::string_view text) {
  return std::string(text.substr(0, text.find('\0')));
}

}  // namespace pelorin
