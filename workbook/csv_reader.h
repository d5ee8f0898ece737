// Reads comma-separated text (quoted fields, CRLF or LF, UTF-8 with or
// without a byte-order mark) as a workbook of one sheet, columns A, B, C...
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "workbook/workbook.h"

namespace pelorin::workbook {

// `label` names the input in errors; the sheet is called `sheet_name`.
// Cell texts are exactly as written, quotes removed. Throws WorkbookError.
std::unique_ptr<Workbook> ReadCsv(std::string_view bytes, const std::string& sheet_name,
                                  const std::string& label, const ReadOptions& options);

// The file's whole text as above, its sheet named after the file's stem.
std::unique_ptr<Workbook> ReadCsvFile(const std::string& path, const ReadOptions& options);

}  // namespace pelorin::workbook
