// Hands a sheet's cells, as a reader walks them, to a ColumnStoreSheet of its
// own or to a CellVisitor, keeping only the columns the read options ask for
// and noting the used range of all.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "workbook/cell_text_limit.h"
#include "workbook/column_store_sheet.h"
#include "workbook/workbook.h"

namespace pelorin::workbook {

// The widest and the longest sheet a spreadsheet offers; cells beyond them
// cannot be addressed and are dropped.
inline constexpr int kMaxColumns = 16384;
inline constexpr std::int64_t kMaxRows = 1048576;
class SheetBuilder {
 public:
  // Rows past `max_rows` are dropped, so a damaged row number cannot make
  // the store grow without bound.
  explicit SheetBuilder(const ReadOptions& options, std::int64_t max_rows = kMaxRows);
  // Cells go to `visitor` instead, and Take() has nothing to give.
  SheetBuilder(const ReadOptions& options, CellVisitor& visitor);

  // True when the column's texts are kept; a reader may skip converting a
  // value that is not, and call Note instead.
  bool Wants(int column) const {
    return column >= 1 && column <= kMaxColumns &&
           (keep_.empty() || (column < static_cast<int>(keep_.size()) && keep_[column]));
  }
  // Names the file and the sheet in the refusal of an overlong cell, so
  // every reader's refusal says where the cell is.
  void set_place(std::string file, std::string sheet) {
    file_label_ = std::move(file);
    sheet_name_ = std::move(sheet);
  }

  // A cell holding text; the empty text is an empty cell. Throws
  // OverlongCellError for a text over the limit of a cell, whatever its
  // column: every reader's cells pass here.
  void Put(int column, std::int64_t row, std::string_view text);
  // Throws OverlongCellError when `text` is too long for a cell at this place.
  void CheckLength(int column, std::int64_t row, std::string_view text) const;
  // Throws OverlongCellError for the cell at this place, with `why` when the
  // reader knows more.
  [[noreturn]] void RefuseOverlong(int column, std::int64_t row,
                                   std::string_view why = {}) const;
  // A cell that holds a value but whose column is not kept.
  void Note(int column, std::int64_t row);

  SheetInfo info(std::string name) const { return {std::move(name), used_rows_, used_columns_}; }
  std::unique_ptr<ColumnStoreSheet> Take() { return std::move(sheet_); }

 private:
  void Keep(const ReadOptions& options);

  std::string file_label_;
  std::string sheet_name_;
  std::vector<bool> keep_;
  std::unique_ptr<ColumnStoreSheet> sheet_;
  CellVisitor* target_;
  std::int64_t max_rows_;
  std::int64_t used_rows_ = 0;
  int used_columns_ = 0;
};

}  // namespace pelorin::workbook
