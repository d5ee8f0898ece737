#include "core/messaging/number_region.h"

#include <gtest/gtest.h>

#include "core/settings/settings_store.h"
#include "tests/support/fakes/fake_phone_numbers.h"
#include "tests/support/fakes/fake_settings_backend.h"

namespace pelorin {
namespace {

struct RegionCase {
  const char* name;
  const char* stored;
  const char* locale;
  const char* region;
};

class NumberRegionChoice : public ::testing::TestWithParam<RegionCase> {};

TEST_P(NumberRegionChoice, SettingThenLocaleThenIndia) {
  const RegionCase& c = GetParam();
  testing::FakeSettingsBackend backend;
  SettingsStore settings(backend);
  settings.SaveNumberRegion(c.stored);
  testing::FakePhoneNumbers numbers;  // knows IN, GB, US
  EXPECT_EQ(NumberRegion(settings, numbers, c.locale), c.region);
}

INSTANTIATE_TEST_SUITE_P(
    Sources, NumberRegionChoice,
    ::testing::Values(RegionCase{"NothingSet", "", "", "IN"},
                      RegionCase{"LocaleOnly", "", "GB", "GB"},
                      RegionCase{"SettingBeatsLocale", "US", "GB", "US"},
                      RegionCase{"SettingInLowerCase", "gb", "", "GB"},
                      RegionCase{"UnknownSettingFallsToLocale", "XX", "US", "US"},
                      RegionCase{"UnknownLocaleFallsToIndia", "", "ZZ", "IN"},
                      RegionCase{"NotACode", "", "Gbr", "IN"}),
    [](const ::testing::TestParamInfo<RegionCase>& info) { return info.param.name; });

TEST(NormalizeRegionCode, TakesTwoLettersInEitherCase) {
  EXPECT_EQ(NormalizeRegionCode(" in "), "IN");
  EXPECT_EQ(NormalizeRegionCode("I1"), "");
  EXPECT_EQ(NormalizeRegionCode("IND"), "");
  EXPECT_EQ(NormalizeRegionCode(""), "");
}

TEST(NumberRegionSetting, SavingEmptyForgetsIt) {
  testing::FakeSettingsBackend backend;
  SettingsStore settings(backend);
  settings.SaveNumberRegion("GB");
  EXPECT_EQ(settings.StoredNumberRegion(), "GB");
  settings.SaveNumberRegion("");
  EXPECT_EQ(settings.StoredNumberRegion(), "");
}

}  // namespace
}  // namespace pelorin
