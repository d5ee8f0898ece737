#include "hosts/cli/workbook_application.h"

#include <stdexcept>

namespace pelorin::cli {

const Worksheet& WorkbookApplication::ActiveSheet() {
  if (active_sheet_ == nullptr) throw std::runtime_error("no workbook is open");
  return *active_sheet_;
}

void WorkbookApplication::SelectWholeColumn(std::string_view column) {
  if (!IsValidColumnName(column)) {
    throw std::runtime_error("invalid column " + std::string(column));
  }
  selected_column_ = std::string(column);
}

}  // namespace pelorin::cli
