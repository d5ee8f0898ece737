// Builds small zip packages in memory for the reader tests, and prints a
// sheet's cells as text rows to compare against.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "core/host/worksheet.h"

namespace pelorin::workbook::testing {

using ZipEntries = std::vector<std::pair<std::string, std::string>>;

// A zip archive holding the entries, deflated.
std::string MakeZip(const ZipEntries& entries);

// Rows 1..rows of columns A..: each row's cell texts joined by "|".
std::vector<std::string> SheetRows(const Worksheet& sheet, std::int64_t rows, int columns);

}  // namespace pelorin::workbook::testing
