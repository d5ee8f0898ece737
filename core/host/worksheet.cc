#include "core/host/worksheet.h"

namespace pelorin {

void Worksheet::ReadColumn(std::string_view column, std::int64_t first_row, std::int64_t last_row,
                           std::vector<std::string_view>& cells) const {
  for (std::int64_t row = first_row; row <= last_row; ++row) {
    read_cache_.push_back(CellText(column, row));
    cells.push_back(read_cache_.back());
  }
}

bool IsValidColumnName(std::string_view column) {
  if (column.empty() || column.size() > 3) return false;
  long index = 0;
  for (char c : column) {
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    if (c < 'A' || c > 'Z') return false;
    index = index * 26 + (c - 'A' + 1);
  }
  return index <= 16384;  // XFD, the widest sheet a spreadsheet offers
}

}  // namespace pelorin
