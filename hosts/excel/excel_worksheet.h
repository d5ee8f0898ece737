// A worksheet of Excel as core reads it: one cell through
// Range("C17").Value, a block of a column through one Range("B2:B1001").Value.
#pragma once

#include <oaidl.h>

#include "core/host/worksheet.h"
#include "hosts/excel/com_ptr.h"

namespace pelorin::excel {

class ExcelWorksheet : public Worksheet {
 public:
  explicit ExcelWorksheet(ComPtr<IDispatch> sheet) : sheet_(std::move(sheet)) {}

  // Throws CellAddressError ("cell C17: ...") for an address Excel refuses.
  std::string CellText(std::string_view column, std::int64_t row) const override;
  // One Range(...).Value call for the whole block.
  void ReadColumn(std::string_view column, std::int64_t first_row, std::int64_t last_row,
                  std::vector<std::string_view>& cells) const override;

 private:
  ComPtr<IDispatch> sheet_;
};

}  // namespace pelorin::excel
