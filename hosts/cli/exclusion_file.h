// Reads the entries of an exclusion list: numbers one a line, or the first
// column of a .csv, .xlsx or .ods file's active sheet.
#pragma once

#include <string>
#include <vector>

namespace pelorin::cli {

// Throws UsageError naming the file when it cannot be read.
std::vector<std::string> ReadExclusionEntries(const std::string& path);

}  // namespace pelorin::cli
