#include "hosts/cli/history_command.h"

#include "core/messaging/run_journal.h"
#include "core/messaging/run_summary.h"
#include "core/service/timestamp.h"
#include "hosts/cli/exit_status.h"

namespace pelorin::cli {
namespace {

std::string Source(const JournalRun& run) {
  if (run.workbook.empty()) return "-";
  return run.sheet.empty() ? run.workbook : run.workbook + " [" + run.sheet + "]";
}

std::string RangesText(const JournalRun& run) {
  std::string text;
  for (const RowRange& range : run.ranges) {
    if (!text.empty()) text += ',';
    text += std::to_string(range.first) + "-" + std::to_string(range.last);
  }
  return text;
}

}  // namespace

int RunHistoryCommand(const RunJournalStore& journal, std::ostream& out) {
  out << "RUN\tSTARTED\tWORKBOOK\tROWS\tACCEPTED\tOUTCOME\n";
  for (const JournalRun& run : LoadJournalRuns(journal)) {
    const RunSummary summary = Summarize(run);
    out << run.name << '\t' << FormatTimestamp(run.started) << '\t' << Source(run) << '\t'
        << summary.rows << '\t' << summary.packets_accepted << '/' << summary.packets << '\t'
        << StandingWord(summary.standing) << '\n';
  }
  return kExitOk;
}

int RunHistoryOfRunCommand(const RunJournalStore& journal, const std::string& name,
                           std::ostream& out, std::ostream& err) {
  std::optional<JournalRun> run = LoadJournalRun(journal, name);
  if (!run) {
    err << "pelorin: the run journal has no run " << name << '\n';
    return kExitRefused;
  }
  const RunSummary summary = Summarize(*run);
  out << "run " << run->name << " (file name " << run->file_name << ", user " << run->user
      << ")\n"
      << "started " << FormatTimestamp(run->started) << '\n'
      << "workbook " << Source(*run) << ", mobile column " << run->mobile_column << '\n'
      << (run->multiple_range ? "ranges " : "rows ") << RangesText(*run) << ", "
      << run->packet_size << " rows per packet\n"
      << "outcome " << StandingWord(summary.standing) << ", " << summary.packets_accepted << " of "
      << summary.packets << " packets accepted\n";
  out << "ROWS\tSTATE\tRECORDS\tOUTCOME\n";
  for (const JournalPacket& packet : run->packets) {
    out << (packet.closing() ? std::string("-")
                             : std::to_string(packet.rows.first) + "-" +
                                   std::to_string(packet.rows.last))
        << '\t' << packet.state << '\t' << packet.records << '\t' << OutcomeWord(packet.outcome);
    if (!packet.reply.empty()) out << ' ' << packet.reply;
    out << '\n';
  }
  return kExitOk;
}

}  // namespace pelorin::cli
