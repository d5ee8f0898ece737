#include "platform/win32/ip_helper_network_interfaces.h"

#include <winsock2.h>
#include <windows.h>
#include <iphlpapi.h>

#include <stdexcept>
#include <vector>

#include "platform/win32/wide_text.h"

namespace pelorin::win32 {
namespace {

// The 16-byte address text up to its first NUL.
std::string AddressText(const IP_ADDRESS_STRING& address) {
  std::size_t length = 0;
  while (length < sizeof address.String && address.String[length] != '\0') ++length;
  return std::string(address.String, length);
}

}  // namespace

std::vector<std::string> IpHelperNetworkInterfaces::FirstIpv4AddressPerInterface() const {
  ULONG size = 0;
  DWORD result = GetAdaptersInfo(nullptr, &size);
  if (result == ERROR_NO_DATA || size == 0) return {};
  // The list can grow between the two calls; ask again with the new size.
  std::vector<unsigned char> buffer;
  for (int attempt = 0; attempt < 3; ++attempt) {
    buffer.resize(size);
    result = GetAdaptersInfo(reinterpret_cast<IP_ADAPTER_INFO*>(buffer.data()), &size);
    if (result != ERROR_BUFFER_OVERFLOW) break;
  }
  if (result == ERROR_NO_DATA) return {};
  if (result != NO_ERROR) {
    throw std::runtime_error("cannot list the network adapters: " + DescribeError(result));
  }
  std::vector<std::string> addresses;
  for (auto* adapter = reinterpret_cast<const IP_ADAPTER_INFO*>(buffer.data()); adapter != nullptr;
       adapter = adapter->Next) {
    addresses.push_back(AddressText(adapter->IpAddressList.IpAddress));
  }
  return addresses;
}

}  // namespace pelorin::win32
