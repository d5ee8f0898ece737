// The names of the stored values, spelled exactly as the store holds them.
#pragma once

#include <string_view>

namespace pelorin::value_names {

// Session group: who is logged in.
inline constexpr std::string_view kUserId = "vpelorin_uid";
inline constexpr std::string_view kPassword = "vpelorin_pwd";  // only ever deleted

// Settings group.
inline constexpr std::string_view kDndStatus = "vpelorin_cid";
inline constexpr std::string_view kProxyAddress = "vpelorin_proxyip";
inline constexpr std::string_view kProxyOctet1 = "vpelorin_proxyip1";
inline constexpr std::string_view kProxyOctet2 = "vpelorin_proxyip2";
inline constexpr std::string_view kProxyOctet3 = "vpelorin_proxyip3";
inline constexpr std::string_view kProxyOctet4 = "vpelorin_proxyip4";
inline constexpr std::string_view kProxyPort = "vpelorin_proxyport";
inline constexpr std::string_view kPacketSize = "vPelorin_PackSize";
inline constexpr std::string_view kVersion = "vPelorin_Version";
inline constexpr std::string_view kServiceHost = "vpelorin_host";
inline constexpr std::string_view kNumberRegion = "vpelorin_region";

}  // namespace pelorin::value_names
