// `history` and `history RUN`: the runs the journal recorded, and one run's
// packets with their outcomes.
#pragma once

#include <ostream>
#include <string>

namespace pelorin {
class RunJournalStore;
}

namespace pelorin::cli {

// One line per run, oldest first: name, start, workbook and sheet, rows,
// packets accepted out of the selection's, and how the run stands.
int RunHistoryCommand(const RunJournalStore& journal, std::ostream& out);
// The run's description, then one line per packet sent, in order.
int RunHistoryOfRunCommand(const RunJournalStore& journal, const std::string& run,
                           std::ostream& out, std::ostream& err);

}  // namespace pelorin::cli
