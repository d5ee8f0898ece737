#include "hosts/cli/sheets_command.h"

#include "hosts/cli/exit_status.h"
#include "workbook/workbook.h"

namespace pelorin::cli {

int RunSheetsCommand(const std::string& path, std::ostream& out, std::ostream& err) {
  std::unique_ptr<workbook::Workbook> book;
  try {
    book = workbook::OpenWorkbook(path);
  } catch (const workbook::WorkbookError& error) {
    err << "pelorin: " << error.what() << '\n';
    return kExitBadInput;
  }
  const auto& sheets = book->sheets();
  for (int i = 0; i < static_cast<int>(sheets.size()); ++i) {
    const workbook::SheetInfo& info = sheets[i];
    out << (i == book->active_sheet() ? "* " : "  ") << i + 1 << '\t' << info.name << '\t'
        << info.used_rows << " rows\t" << info.used_columns << " columns";
    if (info.used_columns > 0) out << " (A-" << workbook::ColumnLetters(info.used_columns) << ')';
    out << '\n';
  }
  return kExitOk;
}

}  // namespace pelorin::cli
