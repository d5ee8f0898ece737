// Reads an Excel 97-2003 workbook (.xls): the cells' texts by FreeXL, the
// numbers, dates, booleans, formula results and the active sheet from the
// records beside them (xls_records.h), into the same column store as the
// other readers.
#pragma once

#include <memory>
#include <string>

#include "workbook/compound_file.h"
#include "workbook/workbook.h"

namespace pelorin::workbook {

// The most cells (rows × columns of every sheet's declared size) read from
// a file with few cells in it: FreeXL sets a slot aside for each, so a
// small file declaring huge sheets would take gigabytes. A file with more
// cells in it may declare up to kXlsGridCellsPerCell times as many.
inline constexpr std::uint64_t kXlsSparseGridCells = std::uint64_t{1} << 22;
inline constexpr std::uint64_t kXlsGridCellsPerCell = 64;

// `path` is the file `container` was read from; `label` names it in
// errors. Throws WorkbookError.
std::unique_ptr<Workbook> ReadXls(const std::string& path, const std::string& label,
                                  const CompoundFile& container, const ReadOptions& options);

}  // namespace pelorin::workbook
