// Excel's Application as core sees it, reached late-bound by member name.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <memory>

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
  // Throws std::runtime_error when no worksheet is active.
  const Worksheet& ActiveSheet() override;
  // Columns, indexed by "C:C", then Select.
  void SelectWholeColumn(std::string_view column) override;

  // Excel's main window (Application.Hwnd), or null when it tells none.
  HWND MainWindow() const;

 private:
  ComPtr<IDispatch> application_;
  std::unique_ptr<ExcelCommandBar> menu_bar_;
  std::unique_ptr<ExcelWorksheet> active_sheet_;
};

}  // namespace pelorin::excel
