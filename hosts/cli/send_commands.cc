#include "hosts/cli/send_commands.h"

#include <signal.h>

#include <algorithm>
#include <limits>
#include <memory>
#include <optional>

#include "core/host/run_lock.h"
#include "core/messaging/message_template.h"
#include "core/messaging/packet_size.h"
#include "core/messaging/send_precheck.h"
#include "core/messaging/send_form.h"
#include "hosts/cli/cli_runtime.h"
#include "hosts/cli/exit_status.h"
#include "hosts/cli/check_command.h"
#include "hosts/cli/interrupt_watch.h"
#include "hosts/cli/opened_workbook.h"
#include "hosts/cli/preview_costs.h"
#include "hosts/cli/preview_printer.h"
#include "hosts/cli/progress_bar.h"
#include "hosts/cli/resume_command.h"
#include "workbook/workbook.h"

namespace pelorin::cli {
namespace {

// The first `count` rows of the ranges, in the order they are sent: "2-1001,
// 35-40", or "none".
std::string FirstRows(const std::vector<RowRange>& ranges, std::int64_t count) {
  std::string rows;
  for (const RowRange& range : ranges) {
    if (count <= 0) break;
    if (range.first > range.last) continue;
    const std::int64_t last = std::min(range.last, range.first + count - 1);
    count -= last - range.first + 1;
    rows += (rows.empty() ? "" : ",") + std::to_string(range.first) +
            (last == range.first ? "" : "-" + std::to_string(last));
  }
  return rows.empty() ? "none" : rows;
}

// Mistakes that would send half a run, or rows twice, caught before the
// first packet; the reason, or nothing.
std::optional<std::string> PrecheckSend(CliRuntime& runtime, const OpenedWorkbook& opened,
                                        const SendRequest& request) {
  if (request.multiple_range) {
    if (auto overlap = FindOverlappingRanges(request.ranges)) return "--ranges: " + *overlap;
  }
  const workbook::SheetInfo& info = opened.info();
  // A stored size that is no number is the run's own error to report.
  std::int64_t packet_size = std::numeric_limits<std::int64_t>::max();
  try {
    packet_size = ReadPacketSize(runtime.settings());
  } catch (const std::exception&) {
  }
  if (auto empty = FindRowsWithoutData(opened.sheet(), request, {info.used_rows, info.used_columns},
                                       packet_size)) {
    return opened.Place() + ": " + *empty;
  }
  if (auto bad = FindBadText(opened.sheet(), request)) return opened.Place() + ": " + *bad;
  return std::nullopt;
}

// Clicks "Send Text Message": the login and credit checks, then the
// dialog's set-up. Null when the command refused.
frmSendSMS* OpenSendDialog(CliRuntime& runtime) {
  runtime.ClickMenu("Send Text Message");
  if (runtime.RefusedForLogin()) return nullptr;
  return dynamic_cast<frmSendSMS*>(runtime.ui().ShownForm("frmSendSMS"));
}

template <typename Command>
int WithFilledDialog(CliRuntime& runtime, const std::string& path, const SendSelection& selection,
                     std::ostream& err, Command command) {
  CheckSendSelection(selection);
  CheckLaterIsAhead(selection, runtime.context().clock.Now());
  std::unique_ptr<OpenedWorkbook> opened;
  try {
    opened = std::make_unique<OpenedWorkbook>(runtime, path, selection);
  } catch (const workbook::WorkbookError& error) {
    err << "pelorin: " << error.what() << '\n';
    return kExitBadInput;
  }
  frmSendSMS* dialog = OpenSendDialog(runtime);
  if (dialog == nullptr) return kExitRefused;
  FillSendForm(*dialog, selection);
  return command(*dialog, *opened);
}

}  // namespace

int RunSendCommand(CliRuntime& runtime, const std::string& path, const SendSelection& selection,
                   std::ostream& out, std::ostream& err, const SendCheckFlags& checks) {
  SendCheckHooks hooks(runtime, checks, out, err);
  return WithFilledDialog(runtime, path, selection, err, [&](frmSendSMS& dialog,
                                                             const OpenedWorkbook& opened) {
    hooks.Attach(dialog);
    std::optional<std::string> refusal;
    SendRequest sent;
    dialog.SetSendRequestHandler([&](const SendRequest& request) {
      refusal = PrecheckSend(runtime, opened, request);
      sent = request;
      if (!refusal) dialog.RunSend(request);
    });
    ProgressBar bar(err, ProgressBar::StderrIsTerminal(), "sending");
    InterruptWatch interrupt;
    std::int64_t rows_done = 0;
    dialog.SetSendProgressListener([&](const SendProgress& progress) {
      bar.Update(progress.rows_done, progress.rows_total);
      rows_done = progress.rows_done;
      // Closing the status window is how a run is stopped between packets.
      if (interrupt.signal() != 0 && dialog.status_window() != nullptr) {
        dialog.status_window()->Unload();
      }
    });
    // One user's runs take turns, and each gets a name none before it had.
    const std::string user_id = runtime.settings().SessionUserId();
    HeldRunLock turn(runtime.run_lock(), user_id, [&err, &user_id] {
      err << "pelorin: waiting for another send by " << user_id << " to end\n";
    });
    dialog.Click("btnSend");
    bar.Finish();
    if (refusal) {
      err << "pelorin: " << *refusal << "; nothing was sent\n";
      return kExitBadInput;
    }
    const std::optional<SendRunResult>& result = dialog.last_send_result();
    if (!result) return kExitRefused;  // the checks refused, in a message box
    out << ToTerminalLines(result->status_text);
    if (interrupt.signal() != 0) {
      err << "pelorin: stopped by " << (interrupt.signal() == SIGINT ? "SIGINT" : "SIGTERM")
          << " after the packet in flight; rows handed to the service: "
          << FirstRows(sent.ranges, rows_done) << '\n';
      return interrupt.ExitStatus();
    }
    if (!result->error.empty()) err << "pelorin: " << result->error << '\n';
    if (result->outcome != SendOutcome::kCompleted) TellHowToResume(*result, err);
    return result->outcome == SendOutcome::kCompleted ? kExitOk : kExitRefused;
  });
}

int RunPreviewCommand(CliRuntime& runtime, const std::string& path, const SendSelection& selection,
                      PreviewFormat format, std::ostream& out, std::ostream& err) {
  return WithFilledDialog(runtime, path, selection, err, [&](frmSendSMS& dialog,
                                                             const OpenedWorkbook&) {
    const std::size_t before = dialog.previews().size();
    dialog.Click("btnPreview");
    if (dialog.previews().size() == before) return kExitRefused;
    const forms::GridModel grid = WithMessageCosts(dialog.previews().back()->grid());
    switch (format) {
      case PreviewFormat::kTable:
        PrintGridTable(grid, out);
        break;
      case PreviewFormat::kTsv:
        PrintGridTsv(grid, out);
        break;
      case PreviewFormat::kJson:
        PrintGridJson(grid, out);
        break;
    }
    return kExitOk;
  });
}

int RunSendersCommand(CliRuntime& runtime, std::ostream& out, std::ostream& err) {
  const int failures_before = runtime.transport().failures();
  frmSendSMS* dialog = OpenSendDialog(runtime);
  if (dialog == nullptr) return kExitRefused;
  if (runtime.transport().failures() > failures_before) {
    err << "pelorin: the service could not be reached: " << runtime.transport().last_failure()
        << '\n';
    return kExitRefused;
  }
  const forms::Control& status = dialog->control("lblDND");
  out << "DND filter: " << (status.visible ? status.text : std::string("unknown")) << '\n';
  const forms::Control& senders = dialog->control("ddlSenderID");
  if (senders.visible) {
    for (const std::string& sender : senders.items) out << sender << '\n';
  }
  return kExitOk;
}

}  // namespace pelorin::cli
