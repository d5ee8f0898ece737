// Resuming a run from its journal: sends only the packets the service does
// not hold, under the run's own file name, "START" until the last one, which
// ends the run, so that the service sees one run end normally.
#pragma once

#include <string>
#include <vector>

#include "core/addin/addin_context.h"
#include "core/host/worksheet.h"
#include "core/messaging/run_journal.h"

namespace pelorin {

class RunJournalStore;

// What to do with a packet that went out without a reply.
enum class UnknownPackets {
  kStop,    // send nothing and name its rows
  kResend,  // send it again (the service may then hold it twice)
  kSkip,    // count it as accepted
};

struct ResumeResult {
  enum class Outcome {
    kCompleted,  // the run is closed and every packet delivered
    kFailed,     // a packet sent now was not accepted; resumable again
    kRefused,    // nothing was sent: `message` says why
  };
  Outcome outcome = Outcome::kRefused;
  std::string message;             // the refusal, or a closing line
  std::vector<std::string> lines;  // one per packet sent: rows, state, outcome
};

class RunResume {
 public:
  // `sheet` holds the run's rows as they are now.
  RunResume(AddinContext& context, RunJournalStore& store, JournalRun run, const Worksheet& sheet)
      : context_(context), store_(store), run_(std::move(run)), sheet_(sheet) {}

  // Never throws for a refusal; a journal that cannot be written or a cell
  // the sheet refuses stops it with std::runtime_error.
  ResumeResult Resume(UnknownPackets unknown);

 private:
  AddinContext& context_;
  RunJournalStore& store_;
  JournalRun run_;
  const Worksheet& sheet_;
};

}  // namespace pelorin
