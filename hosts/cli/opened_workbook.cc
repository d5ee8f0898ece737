#include "hosts/cli/opened_workbook.h"

#include <filesystem>

#include "core/messaging/message_template.h"
#include "hosts/cli/cli_runtime.h"

namespace pelorin::cli {

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

OpenedWorkbook::OpenedWorkbook(CliRuntime& runtime, const std::string& path,
                               const SendSelection& selection)
    : runtime_(runtime), label_(std::filesystem::path(path).filename().string()) {
  book_ = workbook::OpenWorkbook(path, ColumnsToRead(selection));
  index_ = SheetIndex(*book_, selection.sheet, path);
  runtime.application().set_active_sheet(&book_->sheet(index_));
  runtime.application().set_active_source(std::filesystem::absolute(path).string(),
                                          book_->sheets()[index_].name);
}

OpenedWorkbook::~OpenedWorkbook() {
  runtime_.application().set_active_sheet(nullptr);
  runtime_.application().set_active_source({}, {});
}

}  // namespace pelorin::cli
