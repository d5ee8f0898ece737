#include "platform/posix/posix_network_interfaces.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <stdexcept>

namespace pelorin::posix {
namespace {

struct IfaddrsCleanup {
  void operator()(ifaddrs* list) const { freeifaddrs(list); }
};

bool IsLoopbackAddress(const in_addr& address) {
  return (ntohl(address.s_addr) >> 24) == 127;
}

// The entry's dotted IPv4 address, or the empty text when it has none that
// counts.
std::string UsableIpv4(const ifaddrs& entry) {
  if (entry.ifa_addr == nullptr || entry.ifa_addr->sa_family != AF_INET) return {};
  if ((entry.ifa_flags & IFF_LOOPBACK) != 0) return {};
  in_addr address = reinterpret_cast<const sockaddr_in*>(entry.ifa_addr)->sin_addr;
  if (IsLoopbackAddress(address)) return {};
  char text[INET_ADDRSTRLEN] = {};
  if (inet_ntop(AF_INET, &address, text, sizeof text) == nullptr) return {};
  return text;
}

}  // namespace

std::vector<std::string> FirstIpv4AddressPerInterface(const ifaddrs* list) {
  std::vector<std::string> names;
  std::vector<std::string> addresses;
  for (const ifaddrs* entry = list; entry != nullptr; entry = entry->ifa_next) {
    std::string name = entry->ifa_name != nullptr ? entry->ifa_name : "";
    if (std::find(names.begin(), names.end(), name) != names.end()) continue;
    std::string address = UsableIpv4(*entry);
    if (address.empty()) continue;
    names.push_back(std::move(name));
    addresses.push_back(std::move(address));
  }
  return addresses;
}

std::vector<std::string> PosixNetworkInterfaces::FirstIpv4AddressPerInterface() const {
  ifaddrs* raw = nullptr;
  if (getifaddrs(&raw) != 0) {
    throw std::runtime_error(std::string("cannot list the network interfaces: ") +
                             std::strerror(errno));
  }
  std::unique_ptr<ifaddrs, IfaddrsCleanup> list(raw);
  return posix::FirstIpv4AddressPerInterface(list.get());
}

}  // namespace pelorin::posix
