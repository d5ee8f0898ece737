// The spreadsheet application as the command line presents it: the menu bar
// above, and as active sheet the worksheet of the workbook a command opened.
#pragma once

#include <string>

#include "core/host/application.h"
#include "hosts/cli/menu_bar.h"

namespace pelorin::cli {

class WorkbookApplication : public Application {
 public:
  bool IsSpreadsheetHost() const override { return true; }
  CommandBar& WorksheetMenuBar() override { return menu_bar_; }
  // Throws std::runtime_error until a command has opened a workbook.
  const Worksheet& ActiveSheet() override;
  // The command line has no selection to show; it remembers the column.
  void SelectWholeColumn(std::string_view column) override;

  void set_active_sheet(const Worksheet* sheet) { active_sheet_ = sheet; }
  // Where the active sheet comes from, for the run journal.
  void set_active_source(std::string workbook, std::string sheet) {
    workbook_name_ = std::move(workbook);
    sheet_name_ = std::move(sheet);
  }
  std::string ActiveWorkbookName() const override { return workbook_name_; }
  std::string ActiveSheetName() const override { return sheet_name_; }
  const MenuBar& menu_bar() const { return menu_bar_; }
  MenuBar& menu_bar() { return menu_bar_; }
  const std::string& selected_column() const { return selected_column_; }

 private:
  MenuBar menu_bar_;
  const Worksheet* active_sheet_ = nullptr;
  std::string selected_column_;
  std::string workbook_name_;
  std::string sheet_name_;
};

}  // namespace pelorin::cli
