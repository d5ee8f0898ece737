// Calc as core's spreadsheet application: the menu bar that holds the
// "Pelorin" menu, the active sheet of the document the user sees, and the
// whole-column selection.
#pragma once

#include <memory>
#include <vector>

#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>

#include "core/host/application.h"
#include "hosts/calc/uno/calc_menu.h"
#include "hosts/calc/uno/calc_worksheet.h"

namespace pelorin::calc {

class CalcApplication : public Application {
 public:
  CalcApplication(css::uno::Reference<css::uno::XComponentContext> context,
                  std::function<void()> on_menu_state_change);

  bool IsSpreadsheetHost() const override { return true; }
  CommandBar& WorksheetMenuBar() override { return menu_bar_; }
  // The active sheet of the current spreadsheet document. Each call hands out
  // a sheet object of its own, kept until the application goes, so that a
  // send and a preview never share read buffers.
  const Worksheet& ActiveSheet() override;
  void SelectWholeColumn(std::string_view column) override;
  // The document's file path (its title while it was never saved) and the
  // active sheet's name; empty when there is no spreadsheet.
  std::string ActiveWorkbookName() const override;
  std::string ActiveSheetName() const override;

  CalcMenuBar& menu_bar() { return menu_bar_; }
  // The sheet objects handed out so far (for the send's measurements).
  const std::vector<std::unique_ptr<CalcWorksheet>>& sheets() const { return sheets_; }

 private:
  css::uno::Reference<css::frame::XController> CurrentController() const;

  css::uno::Reference<css::uno::XComponentContext> context_;
  CalcMenuBar menu_bar_;
  std::vector<std::unique_ptr<CalcWorksheet>> sheets_;
};

}  // namespace pelorin::calc
