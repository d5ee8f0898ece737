#include "core/messaging/number_region.h"

#include "core/host/phone_numbers.h"
#include "core/settings/settings_store.h"
#include "core/text/replace.h"

namespace pelorin {

std::string NormalizeRegionCode(std::string_view text) {
  const std::string_view trimmed = TrimSpaces(text);
  if (trimmed.size() != 2) return {};
  std::string code;
  for (char c : trimmed) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') return {};
    code.push_back(c);
  }
  return code;
}

std::string NumberRegion(const SettingsStore& settings, const PhoneNumbers& numbers,
                         std::string_view locale_region) {
  for (const std::string& candidate :
       {NormalizeRegionCode(settings.StoredNumberRegion()), NormalizeRegionCode(locale_region)}) {
    if (!candidate.empty() && numbers.IsKnownRegion(candidate)) return candidate;
  }
  return std::string(kFallbackRegion);
}

}  // namespace pelorin
