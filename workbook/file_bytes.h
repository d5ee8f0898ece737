// Reading a whole input file, with errors that name it.
#pragma once

#include <string>

namespace pelorin::workbook {

// The file's bytes; throws WorkbookError "<label>: cannot open: <reason>".
std::string ReadFileBytes(const std::string& path, const std::string& label);

}  // namespace pelorin::workbook
