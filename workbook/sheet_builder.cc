#include "workbook/sheet_builder.h"

#include "workbook/cell_text_limit.h"

namespace pelorin::workbook {
SheetBuilder::SheetBuilder(const ReadOptions& options, std::int64_t max_rows)
    : sheet_(std::make_unique<ColumnStoreSheet>()), target_(sheet_.get()), max_rows_(max_rows) {
  Keep(options);
}

SheetBuilder::SheetBuilder(const ReadOptions& options, CellVisitor& visitor)
    : target_(&visitor), max_rows_(kMaxRows) {
  Keep(options);
}

void SheetBuilder::Keep(const ReadOptions& options) {
  if (options.columns.empty()) return;
  keep_.assign(static_cast<std::size_t>(kMaxColumns) + 1, false);
  for (int column : options.columns) {
    if (column >= 1 && column <= kMaxColumns) keep_[column] = true;
  }
}

void SheetBuilder::CheckLength(int column, std::int64_t row, std::string_view text) const {
  if (IsOverlongCellText(text)) RefuseOverlong(column, row);
}

void SheetBuilder::RefuseOverlong(int column, std::int64_t row, std::string_view why) const {
  std::string place = file_label_.empty() ? std::string() : file_label_ + ": ";
  if (!sheet_name_.empty()) place += "sheet \"" + sheet_name_ + "\", ";
  throw OverlongCellError(place + "row " + std::to_string(row) + ", column " +
                          ColumnLetters(column) + ": " +
                          (why.empty() ? std::string("the cell holds more than 32,767 characters, "
                                                     "more than a spreadsheet cell can")
                                       : std::string(why)));
}

void SheetBuilder::Put(int column, std::int64_t row, std::string_view text) {
  if (text.empty()) return;
  CheckLength(column, row, text);
  Note(column, row);
  if (Wants(column) && row >= 1 && row <= max_rows_) target_->Cell(column, row, text);
}

void SheetBuilder::Note(int column, std::int64_t row) {
  if (column < 1 || column > kMaxColumns || row < 1 || row > max_rows_) return;
  if (row > used_rows_) used_rows_ = row;
  if (column > used_columns_) used_columns_ = column;
}

}  // namespace pelorin::workbook
