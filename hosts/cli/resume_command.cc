#include "hosts/cli/resume_command.h"

#include "core/host/run_lock.h"
#include "core/messaging/message_template.h"
#include "core/messaging/run_journal.h"
#include "core/messaging/run_summary.h"
#include "hosts/cli/cli_runtime.h"
#include "hosts/cli/exit_status.h"
#include "workbook/workbook.h"

namespace pelorin::cli {
namespace {

// The run named, or the user's latest run that is not completed.
std::optional<JournalRun> PickRun(CliRuntime& runtime, const ResumeFlags& flags,
                                  std::ostream& err) {
  if (flags.run && !flags.run->empty()) {
    std::optional<JournalRun> run = LoadJournalRun(runtime.journal(), *flags.run);
    if (!run) err << "pelorin: the run journal has no run " << *flags.run << '\n';
    return run;
  }
  const std::string user = runtime.settings().SessionUserId();
  std::vector<JournalRun> runs = LoadJournalRuns(runtime.journal());
  for (auto it = runs.rbegin(); it != runs.rend(); ++it) {
    if (it->user == user && Summarize(*it).standing != RunStanding::kCompleted) return *it;
  }
  err << "pelorin: no unfinished run to resume\n";
  return std::nullopt;
}

std::unique_ptr<workbook::Workbook> OpenRunWorkbook(const JournalRun& run, int& sheet) {
  workbook::ReadOptions options;
  options.columns.insert(workbook::ColumnNumber(run.mobile_column));
  for (const std::string& column : MessageTemplate(run.message_template).ReferencedColumns()) {
    if (const int number = workbook::ColumnNumber(column); number > 0) options.columns.insert(number);
  }
  std::unique_ptr<workbook::Workbook> book = workbook::OpenWorkbook(run.workbook, options);
  const auto& sheets = book->sheets();
  for (sheet = 0; sheet < static_cast<int>(sheets.size()); ++sheet) {
    if (sheets[sheet].name == run.sheet) return book;
  }
  throw workbook::WorkbookError(run.workbook + ": no sheet \"" + run.sheet + "\"");
}

}  // namespace

int RunResumeCommand(CliRuntime& runtime, const ResumeFlags& flags, std::ostream& out,
                     std::ostream& err) {
  std::optional<JournalRun> run = PickRun(runtime, flags, err);
  if (!run) return kExitRefused;
  std::unique_ptr<workbook::Workbook> book;
  int sheet = 0;
  try {
    book = OpenRunWorkbook(*run, sheet);
  } catch (const workbook::WorkbookError& error) {
    err << "pelorin: run " << run->name << ": " << error.what() << '\n';
    return kExitBadInput;
  }
  // A resume is a send like any other: it waits for the user's other sends.
  HeldRunLock turn(runtime.run_lock(), run->user, [&err, &run] {
    err << "pelorin: waiting for another send by " << run->user << " to end\n";
  });
  RunResume resume(runtime.context(), runtime.journal(), *run, book->sheet(sheet));
  const ResumeResult result = resume.Resume(flags.unknown);
  for (const std::string& line : result.lines) out << line << '\n';
  if (result.outcome == ResumeResult::Outcome::kCompleted) {
    out << result.message << '\n';
    return kExitOk;
  }
  err << "pelorin: " << result.message << '\n';
  return kExitRefused;
}

void TellHowToResume(const SendRunResult& result, std::ostream& err) {
  if (result.journal_name.empty()) return;
  err << "pelorin: run " << result.journal_name
      << " did not complete; `pelorin history " << result.journal_name
      << "` shows its packets, `pelorin send --resume " << result.journal_name
      << "` sends what the service does not hold\n";
}

}  // namespace pelorin::cli
