// Gives each send run a file name that none of the user's earlier runs used.
// The service knows a run by that name alone, and the name has no leading
// zeros, so different times can spell it alike (11:05:23 and 11:52:03 of one
// day both end in "11523"); two runs with one name would be merged into one.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "core/host/clock.h"

namespace pelorin {

class SettingsBackend;

class RunNameClaim {
 public:
  // The names used are kept in the session group of `store`. `pause` waits a
  // moment (a twentieth of a second, say) before the clock is read again.
  RunNameClaim(const Clock& clock, SettingsBackend& store, std::function<void()> pause);

  // Reads the clock until the user's run file name for the reading is one no
  // earlier run used, waiting for the next second as often as needed, and
  // records it as used before answering the reading. Throws
  // std::runtime_error when the name cannot be recorded, or when no new name
  // turned up (a clock that stands still).
  LocalDateTime Claim(std::string_view user_id);

  bool Used(std::string_view run_file_name) const;

 private:
  const Clock& clock_;
  SettingsBackend& store_;
  std::function<void()> pause_;
};

}  // namespace pelorin
