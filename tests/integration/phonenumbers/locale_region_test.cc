#include "platform/posix/locale_region.h"

#include <gtest/gtest.h>

#include "tests/integration/posix/scoped_variable.h"

namespace pelorin::posix {
namespace {

TEST(TerritoryOfLocale, IsBetweenUnderscoreAndCodesetOrModifier) {
  EXPECT_EQ(TerritoryOfLocale("en_IN.UTF-8"), "IN");
  EXPECT_EQ(TerritoryOfLocale("de_DE@euro"), "DE");
  EXPECT_EQ(TerritoryOfLocale("en_GB"), "GB");
  EXPECT_EQ(TerritoryOfLocale("C.UTF-8"), "");
  EXPECT_EQ(TerritoryOfLocale("POSIX"), "");
}

TEST(LocaleRegion, TheFirstVariableSetDecides) {
  testing::ScopedVariable all("LC_ALL", std::nullopt);
  testing::ScopedVariable telephone("LC_TELEPHONE", "hi_IN.UTF-8");
  testing::ScopedVariable lang("LANG", "en_GB.UTF-8");
  EXPECT_EQ(LocaleRegion(), "IN");
  testing::ScopedVariable all_set("LC_ALL", "C");
  EXPECT_EQ(LocaleRegion(), "");  // "C" names no territory, and LC_ALL wins
}

}  // namespace
}  // namespace pelorin::posix
