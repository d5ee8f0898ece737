#include "workbook/loaded_workbook.h"

namespace pelorin::workbook {

void LoadedWorkbook::AddSheet(SheetInfo info, std::unique_ptr<ColumnStoreSheet> sheet) {
  infos_.push_back(std::move(info));
  sheets_.push_back(std::move(sheet));
}

const Worksheet& LoadedWorkbook::sheet(int index) const {
  if (index < 0 || index >= static_cast<int>(sheets_.size())) {
    throw WorkbookError(label_ + ": no sheet " + std::to_string(index + 1) + " (the workbook has " +
                        std::to_string(sheets_.size()) + ")");
  }
  if (sheets_[index] == nullptr) {
    throw WorkbookError(label_ + ": sheet \"" + infos_[index].name + "\" was not read");
  }
  return *sheets_[index];
}

}  // namespace pelorin::workbook
