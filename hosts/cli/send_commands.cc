#include "hosts/cli/send_commands.h"

#include <filesystem>
#include <memory>
#include <set>

#include "core/messaging/message_template.h"
#include "core/messaging/send_form.h"
#include "hosts/cli/cli_runtime.h"
#include "hosts/cli/exit_status.h"
#include "hosts/cli/preview_printer.h"
#include "hosts/cli/progress_bar.h"
#include "hosts/cli/resume_command.h"
#include "hosts/cli/send_pacing.h"
#include "workbook/workbook.h"

namespace pelorin::cli {
namespace {

// Only the mobile column and the columns the template names are kept.
workbook::ReadOptions ColumnsToRead(const SendSelection& selection) {
  workbook::ReadOptions options;
  options.columns.insert(workbook::ColumnNumber(selection.mobile_column));
  for (const std::string& column : MessageTemplate(selection.message).ReferencedColumns()) {
    const int number = workbook::ColumnNumber(column);
    if (number > 0) options.columns.insert(number);
  }
  return options;
}

int SheetIndex(const workbook::Workbook& book, const std::string& sheet, const std::string& path) {
  if (sheet.empty()) return book.active_sheet();
  const auto& sheets = book.sheets();
  for (int i = 0; i < static_cast<int>(sheets.size()); ++i) {
    if (sheets[i].name == sheet) return i;
  }
  if (sheet.find_first_not_of("0123456789") == std::string::npos && sheet.size() < 6) {
    const int number = std::stoi(sheet);
    if (number >= 1 && number <= static_cast<int>(sheets.size())) return number - 1;
  }
  throw workbook::WorkbookError(path + ": no sheet \"" + sheet + "\"");
}

// The workbook, opened and made the application's active sheet for the
// life of the command.
class OpenedWorkbook {
 public:
  OpenedWorkbook(CliRuntime& runtime, const std::string& path, const SendSelection& selection)
      : runtime_(runtime) {
    book_ = workbook::OpenWorkbook(path, ColumnsToRead(selection));
    const int index = SheetIndex(*book_, selection.sheet, path);
    runtime.application().set_active_sheet(&book_->sheet(index));
    runtime.application().set_active_source(std::filesystem::absolute(path).string(),
                                            book_->sheets()[index].name);
  }
  ~OpenedWorkbook() {
    runtime_.application().set_active_sheet(nullptr);
    runtime_.application().set_active_source({}, {});
  }

 private:
  CliRuntime& runtime_;
  std::unique_ptr<workbook::Workbook> book_;
};

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
                   std::ostream& out, std::ostream& err) {
  return WithFilledDialog(runtime, path, selection, err, [&](frmSendSMS& dialog) {
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
    const forms::GridModel& grid = dialog.previews().back()->grid();
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
