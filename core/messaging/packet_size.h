// How many worksheet rows a send run merges and uploads per request.
#pragma once

#include <cstdint>

namespace pelorin {

class SettingsStore;

inline constexpr std::int64_t kDefaultPacketSize = 1000;

// The stored vPelorin_PackSize, or 1000 when none is stored. Throws
// std::runtime_error for a stored text that is not a whole number of at
// least 1: a packet of no rows would never get past its first row.
std::int64_t ReadPacketSize(const SettingsStore& settings);

}  // namespace pelorin
