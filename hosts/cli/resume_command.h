// `send --resume [RUN]`: sends what the service does not hold of a run the
// journal recorded, from the same workbook and sheet.
#pragma once

#include <optional>
#include <ostream>
#include <string>

#include "core/messaging/run_resume.h"
#include "core/messaging/send_run.h"

namespace pelorin::cli {

class CliRuntime;

struct ResumeFlags {
  std::optional<std::string> run;  // the last unfinished run of the user when empty
  UnknownPackets unknown = UnknownPackets::kStop;
};

// Prints one line per packet sent; 0 when the run is completed.
int RunResumeCommand(CliRuntime& runtime, const ResumeFlags& flags, std::ostream& out,
                     std::ostream& err);

// After a send that did not complete: how to send the rest.
void TellHowToResume(const SendRunResult& result, std::ostream& err);

}  // namespace pelorin::cli
