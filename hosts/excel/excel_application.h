// Excel's Application as core sees it, reached late-bound by member name.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>
#include <vector>

#include "core/host/application.h"
#include "hosts/excel/com_ptr.h"
#include "hosts/excel/excel_command_bar.h"
#include "hosts/excel/excel_worksheet.h"

namespace pelorin::excel {

class ExcelApplication : public Application {
 public:
  explicit ExcelApplication(ComPtr<IDispatch> application);

  // The object answers Excel's _Application interface.
  bool IsSpreadsheetHost() const override;
  // CommandBars.Item("Worksheet Menu Bar"); throws ComError.
  CommandBar& WorksheetMenuBar() override;
  // Throws std::runtime_error when no worksheet is active. Every sheet
  // handed out stays valid while this object lives, since core may still
  // hold texts it read from an earlier one.
  const Worksheet& ActiveSheet() override;
  // Columns, indexed by "C:C", then Select.
  void SelectWholeColumn(std::string_view column) override;
  // ActiveWorkbook.FullName (its path, or "Book1" before it is saved) and
  // ActiveSheet.Name; empty when Excel does not tell.
  std::string ActiveWorkbookName() const override;
  std::string ActiveSheetName() const override;

  // Excel's main window (Application.Hwnd), or null when it tells none.
  HWND MainWindow() const;

 private:
  ComPtr<IDispatch> application_;
  std::unique_ptr<ExcelCommandBar> menu_bar_;
  std::vector<std::unique_ptr<ExcelWorksheet>> sheets_;
  ComPtr<IUnknown> active_identity_;
};

}  // namespace pelorin::excel
