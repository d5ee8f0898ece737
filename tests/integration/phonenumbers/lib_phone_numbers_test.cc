#include "platform/phonenumbers/lib_phone_numbers.h"

#include <gtest/gtest.h>

#include "core/messaging/exclusion_list.h"
#include "core/messaging/send_check.h"
#include "tests/support/fakes/fake_application.h"

namespace pelorin {
namespace {

struct ReadCase {
  const char* name;
  const char* text;
  const char* region;
  NumberKind kind;
  const char* e164;
};

class LibPhoneNumbersRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(LibPhoneNumbersRead, KindAndE164) {
  const ReadCase& c = GetParam();
  const phonenumbers::LibPhoneNumbers numbers;
  const NumberReading reading = numbers.Read(c.text, c.region);
  EXPECT_EQ(reading.kind, c.kind);
  EXPECT_EQ(reading.e164, c.e164);
}

INSTANTIATE_TEST_SUITE_P(
    Regions, LibPhoneNumbersRead,
    ::testing::Values(
        ReadCase{"IndiaInternational", "+91 98765 43210", "IN", NumberKind::kMobile, "+919876543210"},
        ReadCase{"IndiaCountryCodeNoPlus", "919876543210", "IN", NumberKind::kMobile,
                 "+919876543210"},
        ReadCase{"IndiaTrunkZero", "09876543210", "IN", NumberKind::kMobile, "+919876543210"},
        ReadCase{"IndiaTenDigits", "9876543210", "IN", NumberKind::kMobile, "+919876543210"},
        ReadCase{"IndiaTooShort", "12345", "IN", NumberKind::kInvalid, "+9112345"},
        ReadCase{"IndiaLandline", "022 2345 6789", "IN", NumberKind::kNotMobile, "+912223456789"},
        ReadCase{"UkMobile", "07911 123456", "GB", NumberKind::kMobile, "+447911123456"},
        ReadCase{"UkLandline", "020 7946 0018", "GB", NumberKind::kNotMobile, "+442079460018"},
        // The same digits mean another number in another region: in India
        // a landline of Ahmedabad.
        ReadCase{"UkMobileReadInIndia", "07911 123456", "IN", NumberKind::kNotMobile,
                 "+917911123456"},
        // Plans that cannot tell mobiles from landlines count as mobile.
        ReadCase{"UsNumber", "(201) 555-0123", "US", NumberKind::kMobile, "+12015550123"},
        ReadCase{"NoDigits", "Mobile", "IN", NumberKind::kNotANumber, ""},
        ReadCase{"Empty", "", "IN", NumberKind::kNotANumber, ""}),
    [](const ::testing::TestParamInfo<ReadCase>& info) { return info.param.name; });

TEST(LibPhoneNumbers, KnowsRegionCodes) {
  const phonenumbers::LibPhoneNumbers numbers;
  EXPECT_TRUE(numbers.IsKnownRegion("IN"));
  EXPECT_TRUE(numbers.IsKnownRegion("GB"));
  EXPECT_FALSE(numbers.IsKnownRegion("XX"));
  EXPECT_FALSE(numbers.IsKnownRegion("in"));  // callers normalise first
  EXPECT_FALSE(numbers.IsKnownRegion(""));
}

// The three ways people write one Indian mobile number are one number to
// the check and to the exclusion list.
TEST(LibPhoneNumbers, OneNumberWrittenThreeWaysIsADuplicateAndExcludedEverywhere) {
  const phonenumbers::LibPhoneNumbers numbers;
  testing::FakeWorksheet sheet;
  sheet.Set("A", 1, "+91 98765 43210");
  sheet.Set("A", 2, "919876543210");
  sheet.Set("A", 3, "09876543210");
  sheet.Set("A", 4, "98765 43211");
  SendRequest request;
  request.message_template = "Hi";
  request.mobile_column = "A";
  request.ranges = {{1, 4}};

  const SendCheckReport report = SendCheck(numbers, "IN", nullptr).Run(sheet, request);
  ASSERT_EQ(report.duplicates.size(), 1u);
  EXPECT_EQ(report.duplicates[0], (DuplicateNumber{"+919876543210", {1, 2, 3}}));
  EXPECT_TRUE(report.invalid.empty());

  ExclusionList list(numbers, "IN");
  list.Add("9876543210");
  const SendCheckReport excluded = SendCheck(numbers, "IN", &list).Run(sheet, request);
  EXPECT_EQ(excluded.excluded.size(), 3u);
  EXPECT_TRUE(excluded.duplicates.empty());
  EXPECT_EQ(excluded.messages, 1);
}

}  // namespace
}  // namespace pelorin
