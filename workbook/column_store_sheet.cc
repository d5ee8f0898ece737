#include "workbook/column_store_sheet.h"

#include "workbook/workbook.h"

namespace pelorin::workbook {

void ColumnStoreSheet::Column::AddEnd(std::uint64_t end, std::uint64_t narrow_limit) {
  if (wide.empty() && end <= narrow_limit) {
    narrow.push_back(static_cast<std::uint32_t>(end));
    return;
  }
  if (wide.empty()) {
    for (std::size_t i = 0; i < narrow.size(); ++i) wide.push_back(narrow[i]);
    narrow.clear();
  }
  wide.push_back(end);
}

void ColumnStoreSheet::SetCell(int column, std::int64_t row, std::string_view text) {
  if (column < 1 || row < 1 || text.empty()) return;
  if (static_cast<int>(columns_.size()) < column) columns_.resize(column);
  Column& target = columns_[column - 1];
  // Rows left out in between are empty cells: repeat the last offset.
  while (static_cast<std::int64_t>(target.ends()) < row) {
    target.AddEnd(target.bytes.size(), narrow_limit_);
  }
  if (static_cast<std::int64_t>(target.ends()) > row) return;  // out of order: keep the first
  target.bytes.append(text.data(), text.size());
  target.AddEnd(target.bytes.size(), narrow_limit_);
  if (row > used_rows_) used_rows_ = row;
}

const ColumnStoreSheet::Column* ColumnStoreSheet::FindColumn(std::string_view letters,
                                                             std::int64_t row) const {
  if (!IsValidColumnName(letters) || row < 1) {
    throw CellAddressError("invalid cell address " + std::string(letters) + std::to_string(row));
  }
  int number = ColumnNumber(letters);
  if (number > static_cast<int>(columns_.size())) return nullptr;
  return &columns_[number - 1];
}

std::string_view ColumnStoreSheet::CellOf(const Column& column, std::int64_t row) {
  if (row >= static_cast<std::int64_t>(column.ends())) return {};
  std::uint64_t begin = column.offset(static_cast<std::size_t>(row - 1));
  return View(column.bytes).substr(begin, column.offset(static_cast<std::size_t>(row)) - begin);
}

std::string ColumnStoreSheet::CellText(std::string_view column, std::int64_t row) const {
  const Column* found = FindColumn(column, row);
  return found == nullptr ? std::string() : std::string(CellOf(*found, row));
}

void ColumnStoreSheet::ReadColumn(std::string_view column, std::int64_t first_row,
                                  std::int64_t last_row, std::vector<std::string_view>& cells) const {
  if (first_row > last_row) return;
  const Column* found = FindColumn(column, first_row);
  for (std::int64_t row = first_row; row <= last_row; ++row) {
    cells.push_back(found == nullptr ? std::string_view() : CellOf(*found, row));
  }
}

}  // namespace pelorin::workbook
