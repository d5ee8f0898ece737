// The region whose numbering plan reads a mobile number written without a
// country code: the user's setting, else the region of the host's locale,
// else India, where the service delivers.
#pragma once

#include <string>
#include <string_view>

namespace pelorin {

class PhoneNumbers;
class SettingsStore;

inline constexpr std::string_view kFallbackRegion = "IN";

// A region code as the user may write it ("in", " IN ") in the form the
// numbering plans use ("IN"); empty unless it is two letters.
std::string NormalizeRegionCode(std::string_view text);

// The stored setting when the plans know it, else `locale_region` when they
// know that, else "IN".
std::string NumberRegion(const SettingsStore& settings, const PhoneNumbers& numbers,
                         std::string_view locale_region);

}  // namespace pelorin
