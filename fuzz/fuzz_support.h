// Shared by the fuzz targets: reading every cell of a workbook and checking
// that the two ways of reading agree, and wrapping raw XML into a package.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "workbook/workbook.h"

namespace pelorin::workbook::fuzz {

// Reads every sheet's used range by ReadColumn and CellText; aborts when
// they disagree or a sheet reports an impossible used range.
void DrainWorkbook(const Workbook& workbook);

// A stored (uncompressed) zip holding the parts.
std::string StorePackage(const std::vector<std::pair<std::string, std::string>>& parts);

// Caps that keep one input within the fuzzer's memory limit.
ReadOptions FuzzReadOptions();

}  // namespace pelorin::workbook::fuzz
