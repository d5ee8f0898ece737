#include "connection_dropper.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace pelorin::provider {
namespace {

// Port and printable address of an IPv4 or IPv6 socket address.
bool Describe(const sockaddr_storage& address, std::string& host, int& port) {
  char text[INET6_ADDRSTRLEN] = {};
  if (address.ss_family == AF_INET) {
    const auto& v4 = reinterpret_cast<const sockaddr_in&>(address);
    inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
    port = ntohs(v4.sin_port);
  } else if (address.ss_family == AF_INET6) {
    const auto& v6 = reinterpret_cast<const sockaddr_in6&>(address);
    inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
    port = ntohs(v6.sin6_port);
  } else {
    return false;
  }
  host = text;
  return true;
}

bool Matches(int fd, int local_port, const std::string& peer_addr, int peer_port) {
  sockaddr_storage local{}, peer{};
  socklen_t local_size = sizeof local, peer_size = sizeof peer;
  if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &local_size) != 0) return false;
  if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peer_size) != 0) return false;
  std::string local_host, peer_host;
  int local_found = 0, peer_found = 0;
  return Describe(local, local_host, local_found) && Describe(peer, peer_host, peer_found) &&
         local_found == local_port && peer_found == peer_port && peer_host == peer_addr;
}

}  // namespace

bool DropConnection(int local_port, const std::string& peer_addr, int peer_port) {
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
    int fd = std::atoi(entry.path().filename().c_str());
    if (Matches(fd, local_port, peer_addr, peer_port)) {
      shutdown(fd, SHUT_RDWR);
      return true;
    }
  }
  return false;
}

}  // namespace pelorin::provider
