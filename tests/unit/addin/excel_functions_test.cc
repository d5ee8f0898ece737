#include "core/addin/excel_functions.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

namespace pelorin {
namespace {

constexpr double kMax = std::numeric_limits<double>::max();

TEST(DoubleItTest, DoublesWithinTheRangeAndLeavesItsArgument) {
  struct Case {
    double value;
    double expected;
  };
  const Case cases[] = {{1.5, 3.0}, {-2.0, -4.0}, {0.0, 0.0}, {kMax / 2, kMax}, {-kMax / 2, -kMax}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    double d = c.value;
    EXPECT_EQ(ExcelFunctions::DoubleIt(d), c.expected);
    EXPECT_EQ(d, c.value);
  }
}

TEST(DoubleItTest, BeyondTheRangeIsAnOverflow) {
  for (double value : {kMax, -kMax, kMax / 1.5}) {
    SCOPED_TRACE(value);
    double d = value;
    EXPECT_THROW(ExcelFunctions::DoubleIt(d), std::overflow_error);
  }
}

}  // namespace
}  // namespace pelorin
