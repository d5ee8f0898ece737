#include "core/messaging/row_ranges.h"

#include <gtest/gtest.h>

namespace pelorin {
namespace {

struct RangeCase {
  const char* text;
  RangeFault fault;
  std::vector<RowRange> ranges;
};

// Names the case in test output instead of dumping its bytes.
void PrintTo(const RangeCase& c, std::ostream* os) { *os << c.text; }

class MultipleRangeTest : public ::testing::TestWithParam<RangeCase> {};

TEST_P(MultipleRangeTest, ParsesOrRefuses) {
  const RangeCase& c = GetParam();
  MultipleRange parsed = ParseMultipleRange(c.text);
  EXPECT_EQ(parsed.fault, c.fault) << c.text;
  EXPECT_EQ(parsed.ranges, c.ranges) << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MultipleRangeTest,
    ::testing::Values(
        RangeCase{"3-9,35-71", RangeFault::kNone, {{3, 9}, {35, 71}}},
        RangeCase{"35-71,3-9", RangeFault::kNone, {{35, 71}, {3, 9}}},
        RangeCase{"3-9,5-7,3-9", RangeFault::kNone, {{3, 9}, {5, 7}, {3, 9}}},
        RangeCase{"5-5", RangeFault::kNone, {{5, 5}}},
        RangeCase{"3 - 9", RangeFault::kNone, {{3, 9}}},
        RangeCase{"3-9,5", RangeFault::kMalformed, {}},
        RangeCase{"3-9,", RangeFault::kMalformed, {}},
        RangeCase{"3--9", RangeFault::kMalformed, {}},
        RangeCase{"-9", RangeFault::kMalformed, {}},
        RangeCase{"3-", RangeFault::kMalformed, {}},
        RangeCase{" -9", RangeFault::kMalformed, {}},
        RangeCase{"3-9-12", RangeFault::kMalformed, {}},
        RangeCase{"0-5", RangeFault::kMalformed, {}},
        RangeCase{"5-0", RangeFault::kMalformed, {}},
        RangeCase{"00-5", RangeFault::kMalformed, {}},
        RangeCase{"1.5-3", RangeFault::kMalformed, {}},
        RangeCase{"a-9", RangeFault::kMalformed, {}},
        RangeCase{"99999999999999999999-1", RangeFault::kMalformed, {}},
        // Beyond the seven digits of the row boxes: walking the rows of such
        // a range would overflow.
        RangeCase{"9999999-9999999", RangeFault::kNone, {{9999999, 9999999}}},
        RangeCase{"1-10000000", RangeFault::kMalformed, {}},
        RangeCase{"9223372036854775807-9223372036854775807", RangeFault::kMalformed, {}},
        RangeCase{"9-3", RangeFault::kReversed, {}},
        // The first faulty item decides, whatever follows it.
        RangeCase{"9-3,5", RangeFault::kReversed, {}},
        RangeCase{"5,9-3", RangeFault::kMalformed, {}}));

TEST(MultipleRangeFault, NamesTheFirstFaultyItem) {
  EXPECT_EQ(ParseMultipleRange("1-2,3-4,x").fault_item, 2u);
}

TEST(RowNumber, TrimsSpacesAndAcceptsDigitsOnly) {
  EXPECT_EQ(ParseRowNumber(" 17 "), 17);
  EXPECT_EQ(ParseRowNumber("0"), 0);
  EXPECT_EQ(ParseRowNumber(""), std::nullopt);
  EXPECT_EQ(ParseRowNumber("+3"), std::nullopt);
  EXPECT_EQ(ParseRowNumber("3 5"), std::nullopt);
  EXPECT_EQ(ParseRowNumber("12."), std::nullopt);
}

TEST(RangeItems, CutAtEveryComma) {
  EXPECT_EQ(SplitRangeItems("1-2,,3-4"), (std::vector<std::string_view>{"1-2", "", "3-4"}));
  EXPECT_EQ(SplitRangeItems(""), (std::vector<std::string_view>{""}));
}

}  // namespace
}  // namespace pelorin
