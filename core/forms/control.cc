#include "core/forms/control.h"

#include <algorithm>

namespace pelorin::forms {

void GridModel::SetCell(int row, int column, std::string text) {
  if (row < 0 || column < 0) return;
  if (static_cast<int>(rows.size()) <= row) rows.resize(row + 1);
  auto& cells = rows[row];
  if (static_cast<int>(cells.size()) <= column) cells.resize(std::max(columns, column + 1));
  cells[column] = std::move(text);
}

void GridModel::AddItem(const std::string& tab_separated) {
  std::vector<std::string> cells;
  std::size_t start = 0;
  while (true) {
    std::size_t tab = tab_separated.find('\t', start);
    cells.push_back(tab_separated.substr(start, tab - start));
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  if (static_cast<int>(cells.size()) < columns) cells.resize(columns);
  rows.push_back(std::move(cells));
}

std::string Control::SelectedItem() const {
  if (selected_index < 0 || selected_index >= static_cast<int>(items.size())) return {};
  return items[selected_index];
}

void Control::ClearItems() {
  items.clear();
  selected_index = -1;
}

}  // namespace pelorin::forms
