#include "core/messaging/run_name_claim.h"

#include <stdexcept>
#include <utility>

#include "core/host/settings_backend.h"
#include "core/messaging/run_file_name.h"

namespace pelorin {
namespace {

// One session value per name used; the run file name already holds the user.
std::string UsedNameValue(std::string_view run_file_name) {
  return "pelorin_run_used_" + std::string(run_file_name);
}

// Readings in one second that may pass before the clock counts as stopped,
// and seconds tried before giving up: only names used on as many seconds
// in a row could take that long.
constexpr int kPausesPerSecond = 60;
constexpr int kSecondsTried = 600;

bool SameSecond(const LocalDateTime& a, const LocalDateTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute && a.second == b.second;
}

}  // namespace

RunNameClaim::RunNameClaim(const Clock& clock, SettingsBackend& store,
                           std::function<void()> pause)
    : clock_(clock), store_(store), pause_(std::move(pause)) {}

bool RunNameClaim::Used(std::string_view run_file_name) const {
  return !store_.Get(SettingsGroup::kSession, UsedNameValue(run_file_name)).empty();
}

LocalDateTime RunNameClaim::Claim(std::string_view user_id) {
  LocalDateTime now = clock_.Now();
  for (int second = 0; second < kSecondsTried; ++second) {
    const std::string name = RunFileName(user_id, now);
    if (!Used(name)) {
      store_.Set(SettingsGroup::kSession, UsedNameValue(name), "1");
      return now;
    }
    const LocalDateTime taken = now;
    for (int pause = 0; SameSecond(now, taken); ++pause) {
      if (pause == kPausesPerSecond) {
        throw std::runtime_error("the clock stands still at the run name " + name +
                                 ", which an earlier run used");
      }
      pause_();
      now = clock_.Now();
    }
  }
  throw std::runtime_error("no run name unused by earlier runs in " +
                           std::to_string(kSecondsTried) + " seconds");
}

}  // namespace pelorin
