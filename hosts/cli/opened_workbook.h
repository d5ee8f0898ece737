// A workbook opened for a command over a selection: only the columns the
// selection reads, and the chosen sheet made the application's active one
// for the life of the command.
#pragma once

#include <memory>
#include <string>

#include "hosts/cli/send_selection.h"
#include "workbook/workbook.h"

namespace pelorin::cli {

class CliRuntime;

// The mobile column and the columns the template names.
workbook::ReadOptions ColumnsToRead(const SendSelection& selection);

// The sheet `sheet` names (a name, or a 1-based number); the active sheet
// when empty. Throws WorkbookError.
int SheetIndex(const workbook::Workbook& book, const std::string& sheet, const std::string& path);

class OpenedWorkbook {
 public:
  // Throws WorkbookError.
  OpenedWorkbook(CliRuntime& runtime, const std::string& path, const SendSelection& selection);
  ~OpenedWorkbook();
  OpenedWorkbook(const OpenedWorkbook&) = delete;
  OpenedWorkbook& operator=(const OpenedWorkbook&) = delete;

  const Worksheet& sheet() const { return book_->sheet(index_); }
  const workbook::SheetInfo& info() const { return book_->sheets()[index_]; }
  // "contacts.xlsx: sheet \"Orders\"", to start a line about the sheet.
  std::string Place() const { return label_ + ": sheet \"" + info().name + "\""; }

 private:
  CliRuntime& runtime_;
  std::string label_;
  std::unique_ptr<workbook::Workbook> book_;
  int index_ = 0;
};

}  // namespace pelorin::cli
