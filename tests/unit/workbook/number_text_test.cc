#include "workbook/number_text.h"

#include <gtest/gtest.h>

namespace pelorin::workbook {
namespace {

struct NumberCase {
  double value;
  const char* text;
};

TEST(GeneralNumberTextTest, MatchesASpreadsheetsGeneralForm) {
  const NumberCase cases[] = {
      {0, "0"},
      {-0.0, "0"},
      {1, "1"},
      {-1, "-1"},
      {100, "100"},
      {0.1, "0.1"},
      {0.1 + 0.2, "0.3"},  // 0.30000000000000004 keeps 15 digits only
      {-0.5, "-0.5"},
      {1234567.891, "1234567.891"},
      {3.14159265358979323, "3.14159265358979"},
      {919876543210, "919876543210"},  // a mobile number is never 9.19877E+11
      {447700900123, "447700900123"},
      {123456789012345, "123456789012345"},
      {1e14, "100000000000000"},
      {1e15, "1E+15"},
      {1e20, "1E+20"},
      {-2.5e21, "-2.5E+21"},
      {123456789012345678.0, "1.23456789012346E+17"},
      {0.001, "0.001"},
      {0.000025, "0.000025"},
      {1e-9, "0.000000001"},
      {1e-10, "1E-10"},
      {1.5e-10, "1.5E-10"},
      {9.99999999999999e-10, "9.99999999999999E-10"},
      {0.9999999999999999, "1"},  // rounds up to a new digit
      {99999999999999.99, "100000000000000"},
      {999999999999999.9, "1E+15"},
  };
  for (const NumberCase& c : cases) {
    EXPECT_EQ(GeneralNumberText(c.value), c.text) << "value " << c.value;
  }
}

TEST(GeneralNumberTextTest, StoredTextIsReadAsANumberOrKept) {
  const std::pair<const char*, const char*> cases[] = {
      {"919876543210", "919876543210"},
      {"0.25", "0.25"},
      {"0.000000001", "0.000000001"},
      {"0.0000000001", "1E-10"},
      {"123456789012345", "123456789012345"},
      {"1234567890123456", "1.23456789012346E+15"},
      {"0.1234567890123456", "0.123456789012346"},
      {"-0", "0"},
      {"1.50", "1.5"},
      {"0012", "12"},
      {"1.", "1"},
      {".5", "0.5"},
  };
  for (const auto& [stored, text] : cases) {
    EXPECT_EQ(GeneralNumberText(std::string_view(stored)), text) << stored;
  }
  EXPECT_EQ(GeneralNumberText(std::string_view("3.0000000000000004E-2")), "0.03");
  EXPECT_EQ(GeneralNumberText(std::string_view("1E+20")), "1E+20");
  EXPECT_EQ(GeneralNumberText(std::string_view("-12.50")), "-12.5");
  EXPECT_EQ(GeneralNumberText(std::string_view("abc")), "abc");
  EXPECT_EQ(GeneralNumberText(std::string_view("12abc")), "12abc");
  EXPECT_EQ(GeneralNumberText(std::string_view("")), "");
  EXPECT_EQ(GeneralNumberText(std::string_view("1e999")), "1e999");
}

// Text already in general form is passed through without the trip through
// a double; anything else must be formatted.
TEST(GeneralNumberTextTest, TellsTextAlreadyInGeneralForm) {
  for (const char* general : {"919876543210", "0.25", "0.000000001", "123456789012345", "-12.5", "0",
                              "7", "-0.5", "12345678901234.5"}) {
    EXPECT_TRUE(IsGeneralNumberText(general)) << general;
  }
  for (const char* other : {"-0", "1.50", "0012", "1.", ".5", "0.0000000001", "1234567890123456",
                            "0.1234567890123456", "1.2.3", "1e5", "", "-", "12abc", "1 ", "+1",
                            "123456789012345.5", "00", "0.", "-.5"}) {
    EXPECT_FALSE(IsGeneralNumberText(other)) << other;
  }
}

}  // namespace
}  // namespace pelorin::workbook
