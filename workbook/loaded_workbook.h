// A workbook already read into memory: what every reader hands back from
// OpenWorkbook.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "workbook/column_store_sheet.h"
#include "workbook/workbook.h"

namespace pelorin::workbook {

class LoadedWorkbook : public Workbook {
 public:
  // `label` names the file in errors.
  explicit LoadedWorkbook(std::string label) : label_(std::move(label)) {}

  // A sheet not read (options.only_sheet) is added with a null sheet.
  void AddSheet(SheetInfo info, std::unique_ptr<ColumnStoreSheet> sheet);
  void set_active_sheet(int index) { active_ = index; }

  const std::vector<SheetInfo>& sheets() const override { return infos_; }
  int active_sheet() const override { return active_; }
  const Worksheet& sheet(int index) const override;

 private:
  std::string label_;
  std::vector<SheetInfo> infos_;
  std::vector<std::unique_ptr<ColumnStoreSheet>> sheets_;
  int active_ = 0;
};

}  // namespace pelorin::workbook
