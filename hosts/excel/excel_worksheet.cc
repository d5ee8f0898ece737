#include "hosts/excel/excel_worksheet.h"

#include "hosts/excel/cell_text.h"
#include "hosts/excel/late_bound.h"

namespace pelorin::excel {
namespace {

std::string Address(std::string_view column, std::int64_t row) {
  return std::string(column) + std::to_string(row);
}

void CheckAddress(std::string_view column, std::int64_t row) {
  if (!IsValidColumnName(column) || row < 1) {
    throw CellAddressError("cell " + Address(column, row) + ": not a cell address");
  }
}

Variant RangeValue(IDispatch* sheet, const std::string& address) {
  try {
    ComPtr<IDispatch> range = AsObject(GetProperty(sheet, L"Range", {Variant::Text(address)}), L"Range");
    return GetProperty(range.get(), L"Value");
  } catch (const ComError& error) {
    throw CellAddressError("cell " + address + ": " + error.what());
  }
}

// The cells of a one-column block in row order. A block of one column is
// stored as one run of VARIANTs whichever way the array is laid out.
void AppendArrayCells(const VARIANT& value, const std::string& address, std::size_t rows,
                      std::deque<std::string>& texts, std::vector<std::string_view>& cells) {
  SAFEARRAY* array = (value.vt & VT_BYREF) != 0 ? *value.pparray : value.parray;
  if (array == nullptr || SafeArrayGetDim(array) != 2 || (value.vt & VT_TYPEMASK) != VT_VARIANT) {
    throw CellAddressError("cells " + address + ": Excel answered no block of values");
  }
  LONG low = 0, high = -1, column_low = 0, column_high = -1;
  SafeArrayGetLBound(array, 1, &low);
  SafeArrayGetUBound(array, 1, &high);
  SafeArrayGetLBound(array, 2, &column_low);
  SafeArrayGetUBound(array, 2, &column_high);
  std::size_t count = static_cast<std::size_t>(high - low + 1) * static_cast<std::size_t>(column_high - column_low + 1);
  if (count != rows) {
    throw CellAddressError("cells " + address + ": Excel answered " + std::to_string(count) +
                           " values for " + std::to_string(rows) + " rows");
  }
  VARIANT* data = nullptr;
  if (FAILED(SafeArrayAccessData(array, reinterpret_cast<void**>(&data)))) {
    throw CellAddressError("cells " + address + ": the block of values cannot be read");
  }
  for (std::size_t i = 0; i < count; ++i) {
    texts.push_back(excel::CellText(data[i]));
    cells.push_back(texts.back());
  }
  SafeArrayUnaccessData(array);
}

}  // namespace

std::string ExcelWorksheet::CellText(std::string_view column, std::int64_t row) const {
  CheckAddress(column, row);
  return excel::CellText(RangeValue(sheet_.get(), Address(column, row)).get());
}

void ExcelWorksheet::ReadColumn(std::string_view column, std::int64_t first_row, std::int64_t last_row,
                                std::vector<std::string_view>& cells) const {
  if (last_row < first_row) return;
  CheckAddress(column, first_row);
  CheckAddress(column, last_row);
  std::string address = Address(column, first_row) + ":" + Address(column, last_row);
  Variant value = RangeValue(sheet_.get(), address);
  if ((value.get().vt & VT_ARRAY) == 0) {
    // A block of one cell answers that cell's value.
    read_cache_.push_back(excel::CellText(value.get()));
    cells.push_back(read_cache_.back());
    return;
  }
  AppendArrayCells(value.get(), address, static_cast<std::size_t>(last_row - first_row + 1), read_cache_,
                   cells);
}

}  // namespace pelorin::excel
