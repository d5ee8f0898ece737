#include "core/messaging/run_name_claim.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "core/messaging/run_file_name.h"
#include "tests/support/fakes/fake_clock.h"
#include "tests/support/fakes/fake_settings_backend.h"

namespace pelorin {
namespace {

using testing::FakeClock;
using testing::FakeSettingsBackend;

// A clock that moves on by one second every `pauses_per_second` pauses.
struct SteppingClock {
  FakeClock clock;
  int pauses = 0;
  int pauses_per_second = 3;
  void Pause() {
    if (++pauses % pauses_per_second == 0) ++clock.now.second;
  }
};

class RunNameClaimTest : public ::testing::Test {
 protected:
  LocalDateTime Claim(const char* user = "u") { return claim.Claim(user); }
  void UseEarlierRun(const LocalDateTime& when) {
    FakeClock then;
    then.now = when;
    RunNameClaim(then, store, [] {}).Claim("u");
  }

  SteppingClock time;
  FakeSettingsBackend store;
  RunNameClaim claim{time.clock, store, [this] { time.Pause(); }};
};

TEST_F(RunNameClaimTest, ANewNameIsTakenAtOnceAndKept) {
  time.clock.now = {2026, 12, 10, 11, 5, 23};
  const LocalDateTime started = Claim();
  EXPECT_EQ(RunFileName("u", started), "u_2026121011523");
  EXPECT_EQ(time.pauses, 0);
  EXPECT_TRUE(claim.Used("u_2026121011523"));
  EXPECT_FALSE(claim.Used("v_2026121011523"));
}

TEST_F(RunNameClaimTest, ANameUsedBeforeIsNeverGivenAgain) {
  struct Case {
    const char* label;
    std::vector<LocalDateTime> earlier;
    LocalDateTime now;
    const char* expected;
  };
  const std::vector<Case> cases = {
      {"two sends in one second", {{2026, 12, 10, 11, 5, 23}}, {2026, 12, 10, 11, 5, 23},
       "u_2026121011524"},
      {"11:52:03 spelled like 11:05:23", {{2026, 12, 10, 11, 52, 3}}, {2026, 12, 10, 11, 5, 23},
       "u_2026121011524"},
      {"several taken in a row",
       {{2026, 12, 10, 11, 52, 3}, {2026, 12, 10, 11, 52, 4}, {2026, 12, 10, 11, 5, 25}},
       {2026, 12, 10, 11, 5, 23},
       "u_2026121011526"},
      {"1 November spelled like 11 January", {{2026, 1, 11, 10, 0, 0}}, {2026, 11, 1, 10, 0, 0},
       "u_20261111001"},
      {"another user's name is no obstacle", {}, {2026, 12, 10, 11, 5, 23}, "u_2026121011523"},
  };
  for (const Case& c : cases) {
    FakeSettingsBackend fresh;
    for (const LocalDateTime& when : c.earlier) {
      FakeClock then;
      then.now = when;
      RunNameClaim(then, fresh, [] {}).Claim("u");
    }
    FakeClock other_user;
    other_user.now = c.now;
    RunNameClaim(other_user, fresh, [] {}).Claim("v");
    SteppingClock stepping;
    stepping.clock.now = c.now;
    RunNameClaim claim(stepping.clock, fresh, [&stepping] { stepping.Pause(); });
    EXPECT_EQ(RunFileName("u", claim.Claim("u")), c.expected) << c.label;
  }
}

TEST_F(RunNameClaimTest, AClockThatStandsStillIsAnErrorNotAHang) {
  UseEarlierRun(time.clock.now);
  time.pauses_per_second = 1'000'000;
  EXPECT_THROW(Claim(), std::runtime_error);
  EXPECT_LT(time.pauses, 100);
}

TEST_F(RunNameClaimTest, ANameThatCannotBeKeptIsNotUsed) {
  store.fail_writes = true;
  EXPECT_THROW(Claim(), std::runtime_error);
}

}  // namespace
}  // namespace pelorin
