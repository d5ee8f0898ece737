#include "platform/posix/locale_region.h"

#include <cstdlib>

namespace pelorin::posix {

std::string TerritoryOfLocale(std::string_view locale) {
  const std::size_t underscore = locale.find('_');
  if (underscore == std::string_view::npos) return {};
  std::string_view rest = locale.substr(underscore + 1);
  return std::string(rest.substr(0, rest.find_first_of(".@")));
}

std::string LocaleRegion() {
  // The same order the C library gives the variables for LC_TELEPHONE.
  for (const char* name : {"LC_ALL", "LC_TELEPHONE", "LANG"}) {
    const char* value = std::getenv(name);
    if (value != nullptr && *value != '\0') return TerritoryOfLocale(value);
  }
  return {};
}

}  // namespace pelorin::posix
