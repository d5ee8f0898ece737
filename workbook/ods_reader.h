// Reads an OpenDocument spreadsheet (.ods): every sheet's cells as a
// spreadsheet shows their values, the sheet names and the active sheet.
#pragma once

#include <memory>

#include "workbook/workbook.h"
#include "workbook/zip_archive.h"

namespace pelorin::workbook {

// Throws WorkbookError naming the package and the part at fault.
std::unique_ptr<Workbook> ReadOds(const ZipArchive& archive, const ReadOptions& options);

// One sheet (options.only_sheet, or else the active one) handed cell by
// cell to `visitor`, nothing kept. Returns its name and used range.
SheetInfo StreamOdsSheet(const ZipArchive& archive, const ReadOptions& options,
                         CellVisitor& visitor);

}  // namespace pelorin::workbook
