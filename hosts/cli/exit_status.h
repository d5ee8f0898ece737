// The command line's exit statuses, which scripts rely on.
#pragma once

namespace pelorin::cli {

inline constexpr int kExitOk = 0;
// The command was refused or failed: a refusing message box, a failure
// report, an unfinished run.
inline constexpr int kExitRefused = 1;
// A usage error or an unreadable input file; nothing was sent.
inline constexpr int kExitBadInput = 2;

}  // namespace pelorin::cli
