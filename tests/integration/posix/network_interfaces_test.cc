#include "platform/posix/posix_network_interfaces.h"

#include <arpa/inet.h>
#include <ifaddrs.h>
#include <net/if.h>
#include <netinet/in.h>

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace pelorin::posix {
namespace {

// Builds a getifaddrs-shaped list by hand.
class InterfaceList {
 public:
  InterfaceList& Ipv4(const char* name, const char* address, unsigned flags = IFF_UP) {
    sockaddr_in& socket = ipv4_.emplace_back();
    socket.sin_family = AF_INET;
    inet_pton(AF_INET, address, &socket.sin_addr);
    return Add(name, reinterpret_cast<sockaddr*>(&socket), flags);
  }
  InterfaceList& Ipv6(const char* name) {
    sockaddr_in6& socket = ipv6_.emplace_back();
    socket.sin6_family = AF_INET6;
    return Add(name, reinterpret_cast<sockaddr*>(&socket), IFF_UP);
  }
  InterfaceList& NoAddress(const char* name) { return Add(name, nullptr, IFF_UP); }

  const ifaddrs* head() {
    for (size_t i = 0; i + 1 < entries_.size(); ++i) entries_[i].ifa_next = &entries_[i + 1];
    return entries_.empty() ? nullptr : &entries_.front();
  }

 private:
  InterfaceList& Add(const char* name, sockaddr* address, unsigned flags) {
    ifaddrs& entry = entries_.emplace_back();
    entry.ifa_name = const_cast<char*>(name);
    entry.ifa_addr = address;
    entry.ifa_flags = flags;
    return *this;
  }

  std::deque<ifaddrs> entries_;
  std::deque<sockaddr_in> ipv4_;
  std::deque<sockaddr_in6> ipv6_;
};

TEST(NetworkInterfacesTest, TakesTheFirstIpv4AddressOfEachInterfaceInOrder) {
  InterfaceList list;
  list.Ipv4("lo", "127.0.0.1", IFF_UP | IFF_LOOPBACK)
      .NoAddress("eth0")      // the packet entry getifaddrs lists first
      .Ipv6("eth0")
      .Ipv4("eth0", "0.0.0.0")  // an interface without a lease: kept
      .Ipv4("wlan0", "192.168.1.20")
      .Ipv4("eth0", "10.0.0.5")  // a second address of eth0
      .Ipv6("tun0")                // IPv6 only: skipped
      .Ipv4("docker0", "127.0.1.1")  // a loopback address off the loopback device
      .Ipv4("wlan0", "192.168.1.21")
      .Ipv4("br0", "172.17.0.1");
  EXPECT_EQ(FirstIpv4AddressPerInterface(list.head()),
            (std::vector<std::string>{"0.0.0.0", "192.168.1.20", "172.17.0.1"}));
}

TEST(NetworkInterfacesTest, NoUsableInterfaceGivesAnEmptyList) {
  InterfaceList only_loopback;
  only_loopback.Ipv4("lo", "127.0.0.1", IFF_UP | IFF_LOOPBACK).Ipv6("lo");
  EXPECT_TRUE(FirstIpv4AddressPerInterface(only_loopback.head()).empty());
  EXPECT_TRUE(FirstIpv4AddressPerInterface(nullptr).empty());
}

TEST(NetworkInterfacesTest, ThisMachineListsDottedNonLoopbackAddresses) {
  for (const std::string& address : PosixNetworkInterfaces().FirstIpv4AddressPerInterface()) {
    in_addr parsed{};
    ASSERT_EQ(inet_pton(AF_INET, address.c_str(), &parsed), 1) << address;
    EXPECT_NE(ntohl(parsed.s_addr) >> 24, 127u) << address;
  }
}

}  // namespace
}  // namespace pelorin::posix
