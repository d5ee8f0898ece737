#include "hosts/cli/send_commands.h"

#include <filesystem>
#include <memory>
#include <set>

#include "core/messaging/message_template.h"
#include "core/messaging/send_form.h"
#include "hosts/cli/cli_runtime.h"
#include "hosts/cli/exit_status.h"
#include "hosts/cli/opened_workbook.h"
#include "hosts/cli/check_command.h"
#include "hosts/cli/preview_costs.h"
#include "hosts/cli/preview_printer.h"
#include "hosts/cli/progress_bar.h"
#include "hosts/cli/resume_command.h"
#include "hosts/cli/send_pacing.h"
#include "workbook/workbook.h"

namespace pelorin::cli {
namespace {

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
  return command(*dialog);
}

}  // namespace

int RunSendCommand(CliRuntime& runtime, const std::string& path, const SendSelection& selection,
                   std::ostream& out, std::ostream& err, const SendCheckFlags& checks) {
  SendCheckHooks hooks(runtime, checks, out, err);
  return WithFilledDialog(runtime, path, selection, err, [&](frmSendSMS& dialog) {
    hooks.Attach(dialog);
    ProgressBar bar(err, ProgressBar::StderrIsTerminal(), "sending");
    dialog.SetSendProgressListener([&bar](const SendProgress& progress) {
      bar.Update(progress.rows_done, progress.rows_total);
    });
    WaitForAFreshSecond(runtime.context().clock, runtime.backend());
    dialog.Click("btnSend");
    bar.Finish();
    const std::optional<SendRunResult>& result = dialog.last_send_result();
    if (!result) return kExitRefused;  // the checks refused, in a message box
    RememberRunStart(runtime.backend(), result->started);
    out << ToTerminalLines(result->status_text);
    if (!result->error.empty()) err << "pelorin: " << result->error << '\n';
    if (result->outcome != SendOutcome::kCompleted) TellHowToResume(*result, err);
    return result->outcome == SendOutcome::kCompleted ? kExitOk : kExitRefused;
  });
}

int RunPreviewCommand(CliRuntime& runtime, const std::string& path, const SendSelection& selection,
                      PreviewFormat format, std::ostream& out, std::ostream& err) {
  return WithFilledDialog(runtime, path, selection, err, [&](frmSendSMS& dialog) {
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
