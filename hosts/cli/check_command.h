// `check`, `region`, and the check and exclusion list of `send`: what a send
// would cost and which rows would fail, before anything is sent.
#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "hosts/cli/send_selection.h"

namespace pelorin {
class frmSendSMS;
}

namespace pelorin::cli {

class CliRuntime;

struct CheckFlags {
  std::optional<std::string> exclude;  // a file of numbers to leave out
  bool json = false;
};

// Prints the report of the selection; 0 when no row would fail, 1 when
// some would (or the selection is refused), 2 for an unreadable input.
int RunCheckCommand(CliRuntime& runtime, const std::string& workbook,
                    const SendSelection& selection, const CheckFlags& flags, std::ostream& out,
                    std::ostream& err);

// Without a code prints the region in use and where it comes from; with one,
// stores it (refused unless the numbering plans know it); `forget` drops
// the stored one.
int RunRegionCommand(CliRuntime& runtime, const std::optional<std::string>& code, bool forget,
                     std::ostream& out, std::ostream& err);

struct SendCheckFlags {
  std::optional<std::string> exclude;
  bool check = false;  // run the check first; faults send nothing
  bool force = false;  // send even when the check finds faults
};

// What `send` adds to the send dialog for these flags. Reads the exclusion
// list at once (throws UsageError when it cannot); must outlive the send.
class SendCheckHooks {
 public:
  SendCheckHooks(CliRuntime& runtime, const SendCheckFlags& flags, std::ostream& out,
                 std::ostream& err);
  ~SendCheckHooks();
  void Attach(frmSendSMS& dialog);

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace pelorin::cli
