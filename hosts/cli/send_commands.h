// `send`, `preview` and `senders`: the "Send Text Message" command with the
// send dialog it opens, filled from the selection flags.
#pragma once

#include <ostream>
#include <string>

#include "hosts/cli/send_selection.h"

namespace pelorin::cli {

class CliRuntime;
struct SendCheckFlags;

enum class PreviewFormat { kTable, kTsv, kJson };

// Prints the status window's final text; 0 only for a completed run.
// `checks` adds an exclusion list and the check before the send.
int RunSendCommand(CliRuntime& runtime, const std::string& workbook, const SendSelection& selection,
                   std::ostream& out, std::ostream& err, const SendCheckFlags& checks);
int RunPreviewCommand(CliRuntime& runtime, const std::string& workbook,
                      const SendSelection& selection, PreviewFormat format, std::ostream& out,
                      std::ostream& err);
// The DND status caption and the sender IDs the dialog offers.
int RunSendersCommand(CliRuntime& runtime, std::ostream& out, std::ostream& err);

}  // namespace pelorin::cli
