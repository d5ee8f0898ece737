// The spreadsheet application that hosts the add-in.
#pragma once

#include <string>
#include <string_view>

#include "core/host/command_bar.h"
#include "core/host/worksheet.h"

namespace pelorin {

class Application {
 public:
  virtual ~Application() = default;
  // False for a host that is not a spreadsheet the add-in serves; such a host
  // gets no menu.
  virtual bool IsSpreadsheetHost() const = 0;
  // The worksheet menu bar; throws std::runtime_error when the host has none.
  virtual CommandBar& WorksheetMenuBar() = 0;
  // The worksheet the user sees; throws std::runtime_error when there is none.
  virtual const Worksheet& ActiveSheet() = 0;
  // Makes the whole column (e.g. "C") the selection; throws on failure.
  virtual void SelectWholeColumn(std::string_view column) = 0;
  // The workbook (or document) and sheet name of the active worksheet, as a
  // run journal records them; empty when the host cannot tell.
  virtual std::string ActiveWorkbookName() const { return {}; }
  virtual std::string ActiveSheetName() const { return {}; }
};

}  // namespace pelorin
