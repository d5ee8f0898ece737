#include "core/messaging/run_file_name.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

struct NameCase {
  const char* name;
  LocalDateTime when;
  const char* expected;
};

class RunFileNameCases : public ::testing::TestWithParam<NameCase> {};

TEST_P(RunFileNameCases, JoinsThePartsWithoutLeadingZeros) {
  EXPECT_EQ(RunFileName("u", GetParam().when), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Readings, RunFileNameCases,
    ::testing::Values(NameCase{"Example", {2012, 3, 5, 9, 4, 7}, "u_201235947"},
                      NameCase{"Midnight", {2026, 1, 1, 0, 0, 0}, "u_202611000"},
                      NameCase{
                          "LastSecondOfTheYear", {2025, 12, 31, 23, 59, 59}, "u_20251231235959"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(RunFileName, KeepsTheUserIdAsGiven) {
  EXPECT_EQ(RunFileName("Ann.B", {2026, 3, 5, 14, 40, 7}), "Ann.B_20263514407");
}

}  // namespace
}  // namespace pelorin
