// Keeps two sends by one user out of the same second. The service knows a
// run by the user and the second it started in, so a script that sends
// twice in a row would otherwise have its second run refused as a run
// already closed. The second of the last run is kept with the session.
#pragma once

namespace pelorin {
class Clock;
class SettingsBackend;
struct LocalDateTime;
}  // namespace pelorin

namespace pelorin::cli {

// Waits, when the last run started in the present second, until the clock
// shows the next one. Gives up after about two seconds (a clock that does
// not move must not hang the command).
void WaitForAFreshSecond(const Clock& clock, const SettingsBackend& session);
void RememberRunStart(SettingsBackend& session, const LocalDateTime& started);

}  // namespace pelorin::cli
