#include "workbook/sheet_builder.h"

namespace pelorin::workbook {
namespace {

// Characters of UTF-8 text: bytes that do not continue a sequence.
std::size_t CharacterCount(std::string_view text) {
  std::size_t count = 0;
  for (char c : text) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return count;
}

}  // namespace

CellTooLongError::CellTooLongError(int column, std::int64_t row)
    : WorkbookError("row " + std::to_string(row) + ", column " + ColumnLetters(column) +
                    ": the cell holds more than " + std::to_string(kMaxCellCharacters) +
                    " characters, more than a spreadsheet cell can") {}

WorkbookError CellTooLongError::WithPlace(const std::string& label,
                                          const std::string& sheet) const {
  if (sheet.empty()) return WorkbookError(label + ": " + what());
  return WorkbookError(label + ": sheet \"" + sheet + "\": " + what());
}

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

void SheetBuilder::Put(int column, std::int64_t row, std::string_view text) {
  if (text.empty()) return;
  if (text.size() > kMaxCellCharacters && CharacterCount(text) > kMaxCellCharacters) {
    throw CellTooLongError(column, row);
  }
  Note(column, row);
  if (Wants(column) && row >= 1 && row <= max_rows_) target_->Cell(column, row, text);
}

void SheetBuilder::Note(int column, std::int64_t row) {
  if (column < 1 || column > kMaxColumns || row < 1 || row > max_rows_) return;
  if (row > used_rows_) used_rows_ = row;
  if (column > used_columns_) used_columns_ = column;
}

}  // namespace pelorin::workbook
