// The region of the user's locale, for reading telephone numbers: the
// territory of LC_ALL, LC_TELEPHONE or LANG, the first one set ("en_IN.UTF-8"
// gives "IN").
#pragma once

#include <string>
#include <string_view>

namespace pelorin::posix {

// Empty when the locale names no territory ("C", "POSIX", unset).
std::string LocaleRegion();

// The territory of one locale name: what lies between "_" and "." or "@".
std::string TerritoryOfLocale(std::string_view locale);

}  // namespace pelorin::posix
