#include "platform/posix/curl_timeouts.h"

#include <gtest/gtest.h>

namespace pelorin::posix {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

TEST(CurlTimeoutsTest, AGivenTimeOutBoundsEveryStep) {
  CurlTimeouts upload = TimeoutsFor(milliseconds(1'000'000));
  EXPECT_EQ(upload.connect, milliseconds(1'000'000));
  EXPECT_EQ(upload.overall, milliseconds(1'000'000));
  EXPECT_EQ(upload.stall, seconds(1000));

  // Whole seconds round up, so a short limit never becomes "no limit".
  EXPECT_EQ(TimeoutsFor(milliseconds(200)).stall, seconds(1));
}

TEST(CurlTimeoutsTest, DefaultsAreNeverShorterThanThirtySeconds) {
  for (auto timeout : {std::optional<milliseconds>(), std::optional(milliseconds(0)),
                       std::optional(milliseconds(-5))}) {
    CurlTimeouts defaults = TimeoutsFor(timeout);
    EXPECT_GE(defaults.connect, seconds(30));
    EXPECT_GE(defaults.stall, seconds(30));
    EXPECT_TRUE(defaults.overall == milliseconds(0) || defaults.overall >= seconds(30));
  }
}

}  // namespace
}  // namespace pelorin::posix
