// Reads one worksheet part of an .xlsx file into a SheetBuilder: cell
// values by type, shared strings looked up, dates shown by their style.
#pragma once

#include <cstdint>
#include <string_view>

#include "workbook/sheet_builder.h"
#include "workbook/xlsx_strings.h"
#include "workbook/xlsx_styles.h"
#include "workbook/zip_archive.h"

namespace pelorin::workbook {

struct XlsxSheetContext {
  const XlsxSharedStrings& strings;
  const XlsxStyles& styles;
  bool date1904 = false;
};

void ReadXlsxSheet(const ZipArchive& archive, std::string_view part, std::uint64_t max_bytes,
                   const XlsxSheetContext& context, SheetBuilder& sheet);

// A cell reference ("B7", "xfd1048576") split into column and row; false
// for text that is not one. Either part may be missing ("B", "7").
bool ParseCellReference(std::string_view reference, int& column, std::int64_t& row);

}  // namespace pelorin::workbook
