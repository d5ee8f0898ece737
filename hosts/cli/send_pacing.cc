#include "hosts/cli/send_pacing.h"

#include <chrono>
#include <exception>
#include <thread>

#include "core/host/clock.h"
#include "core/host/settings_backend.h"
#include "core/service/timestamp.h"

namespace pelorin::cli {
namespace {

// Not one of the add-in's values: the command line's own, in the session
// group so that it goes with the login.
constexpr const char* kLastRunStart = "pelorin_cli_last_run_start";

}  // namespace

void WaitForAFreshSecond(const Clock& clock, const SettingsBackend& session) {
  const std::string last = session.Get(SettingsGroup::kSession, kLastRunStart);
  if (last.empty()) return;
  for (int tries = 0; tries < 100 && FormatTimestamp(clock.Now()) == last; ++tries) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
}

void RememberRunStart(SettingsBackend& session, const LocalDateTime& started) {
  try {
    session.Set(SettingsGroup::kSession, kLastRunStart, FormatTimestamp(started));
  } catch (const std::exception&) {
    // Pacing is a courtesy; a store that cannot keep it must not fail a
    // send that already went out.
  }
}

}  // namespace pelorin::cli
